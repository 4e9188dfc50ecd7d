#pragma once
// The chunks of RIFF WAVE and AIFF files, for two things libsndfile leaves to us:
// - a WAVE header that understates its data hides audio, since libsndfile reads as
//   many frames as the data chunk announces (a writer that never completed the
//   header leaves such files);
// - the PEAK chunk of a float file holds the time it was written, so two identical
//   renders would differ; the time is informative only and is set to 0.
//
// Threads: the main thread.

#include <cstdint>

// Bytes of the WAVE file open on fd (fileSize bytes long) that follow the data chunk
// as its header announces it and belong to no chunk. 0 when every byte belongs
// somewhere, when the data chunk runs to the end, or when the file is not RIFF;
// a short run of zero bytes at the end counts as padding.
std::int64_t UnannouncedWaveBytes(int fd, std::int64_t fileSize);

// Sets the time stamp in the PEAK chunk of the WAVE or AIFF file open on fd (for
// reading and writing) to 0. Other files, and files without the chunk, are left
// alone. Returns false when the chunk was found but could not be written.
bool ClearPeakTimestamp(int fd);
