#!/usr/bin/env python3
# place_region.py SESSION-FOLDER NAME TRACK LEFT.wav RIGHT.wav FRAMES
# Puts a stereo region, read from two mono files already in the session's audio files
# folder, at the start of a track of a saved (closed) Ardour 7 session, and sets the
# session range to its length: the session XML gets the sources, the whole-file region,
# the playlist's region and the range. (Ardour 7's Lua has no file import.)
import os
import sys
import xml.etree.ElementTree as ET

folder, name, track, left, right, frames = sys.argv[1:7]
frames = int(frames)
path = os.path.join(folder, name + '.ardour')
tree = ET.parse(path)
root = tree.getroot()
rate = int(root.get('sample-rate'))
per_second = int(root.find('TempoMap').get('superclocks-per-second'))


def time(samples):
    # Ardour 7 positions are audio time in superclock units: 'a<count>'.
    return 'a%d' % (samples * per_second // rate)


next_id = int(root.get('id-counter'))


def new_id():
    global next_id
    next_id += 1
    return str(next_id)


sources = []
for f in (left, right):
    sid = new_id()
    sources.append(sid)
    # An empty origin: each file is its own mono source, read as it is.
    ET.SubElement(root.find('Sources'), 'Source', {
        'name': f, 'type': 'audio', 'flags': '', 'id': sid, 'captured-for': '', 'channel': '0',
        'origin': '', 'gain': '1'})


def region(whole):
    attrs = {
        'name': 'input' + ('' if whole else '.1'), 'muted': '0', 'opaque': '1', 'locked': '0',
        'video-locked': '0', 'automatic': '0', 'whole-file': '1' if whole else '0', 'import': '1',
        'external': '0', 'sync-marked': '0', 'left-of-split': '0', 'right-of-split': '0',
        'hidden': '0', 'position-locked': '0', 'valid-transients': '0', 'start': 'a0',
        # a length is '<distance>@<position>'
        'length': time(frames) + '@' + time(0), 'position': time(0), 'sync-position': 'a0',
        'ancestral-start': 'a0', 'ancestral-length': 'a0@a0', 'stretch': '1', 'shift': '1',
        'layering-index': '0', 'tags': '', 'envelope-active': '0', 'default-fade-in': '0',
        'default-fade-out': '0', 'fade-in-active': '0', 'fade-out-active': '0',
        'scale-amplitude': '1', 'id': new_id(), 'type': 'audio', 'first-edit': 'nothing',
        'channels': '2'}
    for i, s in enumerate(sources):
        attrs['source-%d' % i] = s
        attrs['master-source-%d' % i] = s
    return attrs


ET.SubElement(root.find('Regions'), 'Region', region(True))
route = [r for r in root.find('Routes') if r.get('name') == track][0]
playlist = [p for p in root.find('Playlists') if p.get('id') == route.get('audio-playlist')][0]
ET.SubElement(playlist, 'Region', region(False))
ET.SubElement(root.find('Locations'), 'Location', {
    'id': new_id(), 'name': 'session', 'start': time(0), 'end': time(frames),
    'flags': 'IsSessionRange', 'locked': '0', 'timestamp': '0', 'cue': '0'})
root.set('id-counter', str(next_id + 1))
tree.write(path, encoding='UTF-8', xml_declaration=True)
print('placed %d frames on "%s"' % (frames, track))
