#!/usr/bin/env bash
# Tesk's LV2 plug-in against a peer doing comparable FFT work, in the same run, each as a user
# would run it: in jalv, on a JACK server with the dummy backend (48 kHz, 512-frame periods),
# fed a looping stereo test signal. Prints the CPU time of each host process (jalv with the
# plug-in, all its threads) over the measured stretch of audio.
#
# Usage: bench/peers.sh [BUILD_DIR | LV2_DIR]
#   BUILD_DIR  a CMake build folder (default: build); its target tesk_lv2_bundle is built first
#              (the folder is configured when it has no cache yet) and BUILD_DIR/lv2 is used
#   LV2_DIR    a folder that holds a ready tesk.lv2 bundle (used as it is)
# Environment: TESK_PEERS_SECONDS  seconds of audio per plug-in (default 60)
#              TESK_PEERS_WARMUP   seconds run before the measured stretch (default 3)
#
# The peer is the stereo impulse-response convolver of Debian's lsp-plugins-lv2
# (http://lsp-plug.in/plugins/lv2/impulse_responses_stereo), loaded from a jalv state folder
# with a 2-second stereo impulse response, its left and right channels routed to the left and
# right outputs. Its other controls keep their defaults. A last run of the same convolver with no
# impulse response (it then copies its input) measures the floor: host, server and plug-in calls.
#
# Everything the script starts (jackd under a private server name, the player, jalv, the
# recorder) is stopped by its process id at exit; logs stay in a temporary folder removed then.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_RUN=${TESK_PEERS_SECONDS:-60}
WARMUP=${TESK_PEERS_WARMUP:-3}
RATE=48000
PERIOD=512
PEER_URI=http://lsp-plug.in/plugins/lv2/impulse_responses_stereo
# The plug-in's TTL lists the impulse file as the writable property "ifn0" (Impulse file 1);
# its state keeps it under this key, in the namespace of its other state keys (".../KVT").
PEER_FILE_KEY=$PEER_URI/ports#ifn0
SYSTEM_LV2=/usr/lib/lv2

die() {
  echo "peers: $*" >&2
  exit 1
}

[[ $SECONDS_PER_RUN =~ ^[0-9]+$ && $SECONDS_PER_RUN -gt 0 ]] ||
  die "TESK_PEERS_SECONDS must be a whole number of seconds above 0"
[[ $WARMUP =~ ^[0-9]+$ ]] || die "TESK_PEERS_WARMUP must be a whole number of seconds"

# --- Programs --------------------------------------------------------------------------------

scripts/bootstrap.sh || die "scripts/bootstrap.sh could not install the packages this needs"
declare -A PACKAGE_OF=(
  [jackd]=jackd2 [jack_wait]=jackd2 [jack_lsp]=jackd2 [jack_connect]=jackd2
  [jack_disconnect]=jackd2 [jack_rec]=jackd2 [jalv]=jalv [lv2info]=lilv-utils
  [sndfile-jackplay]=sndfile-tools [python3]=python3 [cmake]=cmake [ninja]=ninja-build
)
for program in "${!PACKAGE_OF[@]}"; do
  command -v "$program" >/dev/null ||
    die "$program is missing (Debian package ${PACKAGE_OF[$program]}; scripts/bootstrap.sh installs it)"
done
# Debian's interpreter: the helper needs only the standard library.
PYTHON=$(command -v /usr/bin/python3 || command -v python3)

# --- The bundle ------------------------------------------------------------------------------

TARGET=${1:-build}
if [[ -f $TARGET/tesk.lv2/manifest.ttl && ! -f $TARGET/CMakeCache.txt ]]; then
  LV2_DIR=$TARGET
else
  if [[ ! -f $TARGET/CMakeCache.txt ]]; then
    echo "peers: configuring $TARGET" >&2
    cmake -S . -B "$TARGET" -G Ninja >/dev/null
  fi
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1
  cmake --build "$TARGET" --target tesk_lv2_bundle -j 2 >&2 ||
    die "building tesk_lv2_bundle in $TARGET failed (run: cmake --build $TARGET --target tesk_lv2_bundle)"
  LV2_DIR=$TARGET/lv2
fi
LV2_DIR=$(cd "$LV2_DIR" && pwd)
export LV2_PATH=$LV2_DIR:$SYSTEM_LV2
for uri in urn:orvanta:tesk "urn:orvanta:tesk#mono" "$PEER_URI"; do
  lv2info "$uri" >/dev/null 2>&1 ||
    die "LV2 plug-in $uri not found in $LV2_PATH (the peer comes with Debian's lsp-plugins-lv2)"
done

# --- Clean-up --------------------------------------------------------------------------------

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tesk-peers.XXXXXX")
STARTED=() # process ids still to stop, in the order started

forget() { # PID: drop a process that has ended and been waited for (its id may be reused)
  local -a keep=()
  local p
  for p in "${STARTED[@]}"; do
    [[ $p == "$1" ]] || keep+=("$p")
  done
  STARTED=("${keep[@]}")
}

stop_pid() { # PID: TERM, then KILL after 5 s; waits for it
  local pid=$1 i
  kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local i
  exec 7>&- 2>/dev/null || true
  for ((i = ${#STARTED[@]} - 1; i >= 0; i--)); do
    stop_pid "${STARTED[i]}"
  done
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- Audio files and the peer's state --------------------------------------------------------

"$PYTHON" bench/peers_audio.py signal "$WORK/signal.wav"
PEER_STATE=$WORK/peer-state
mkdir -p "$PEER_STATE"
"$PYTHON" bench/peers_audio.py ir "$PEER_STATE/ir.wav"
# jalv reads state.ttl from the folder; the file path is relative to the folder, as jalv saves it.
cat >"$PEER_STATE/manifest.ttl" <<EOF
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .

<state.ttl>
	a pset:Preset ;
	lv2:appliesTo <$PEER_URI> ;
	rdfs:seeAlso <state.ttl> .
EOF
cat >"$PEER_STATE/state.ttl" <<EOF
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .

<>
	a pset:Preset ;
	lv2:appliesTo <$PEER_URI> ;
	lv2:port [
		lv2:symbol "cs_l" ;
		pset:value 1.0
	] , [
		lv2:symbol "cs_r" ;
		pset:value 2.0
	] ;
	state:state [
		<$PEER_FILE_KEY> <ir.wav>
	] .
EOF

# --- JACK ------------------------------------------------------------------------------------

export JACK_DEFAULT_SERVER=tesk-peers-$$ JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r "$RATE" -p "$PERIOD" >"$WORK/jackd.log" 2>&1 &
STARTED+=($!)
JACKD_PID=$!
if ! timeout 15 jack_wait -w >/dev/null 2>&1 || ! kill -0 "$JACKD_PID" 2>/dev/null; then
  tail -n 20 "$WORK/jackd.log" >&2
  die "jackd (dummy backend, server $JACK_DEFAULT_SERVER) did not start"
fi

sndfile-jackplay -l 0 "$WORK/signal.wav" >/dev/null 2>&1 &
STARTED+=($!)
PLAYER_PID=$!

wait_for_port() { # PORT PID SECONDS: 0 once PORT exists, 1 if PID ends or time runs out
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    jack_lsp 2>/dev/null | grep -xF "$1" >/dev/null && return 0
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
wait_for_port jackplay:out_1 "$PLAYER_PID" 10 || die "sndfile-jackplay did not start"
# The plug-ins alone feed the playback ports.
jack_disconnect jackplay:out_1 system:playback_1 2>/dev/null || true
jack_disconnect jackplay:out_2 system:playback_2 2>/dev/null || true

# --- One plug-in -----------------------------------------------------------------------------

TICKS=$(getconf CLK_TCK)
cpu_ticks() { # PID: user + system time of the whole process, in clock ticks
  local stat rest
  local -a f
  stat=$(<"/proc/$1/stat") || return 1
  rest=${stat##*) }
  read -r -a f <<<"$rest"
  echo $((f[11] + f[12]))
}

monitor() { # LOG SYMBOL: the last value jalv printed for an output control
  { grep -a -o "$2 = [-0-9.]*" "$1" || true; } | tail -n 1 | awk '{ printf "%g", $3 }'
}

RESULTS=()

pause() { # SECONDS: a sleep that a signal to this script ends at once (its trap runs)
  sleep "$1" &
  local sleeper=$!
  STARTED+=("$sleeper")
  wait "$sleeper"
  forget "$sleeper"
}

# run_one LABEL CLIENT "IN_PORTS" "OUT_PORTS" JALV-ARGS...
run_one() {
  local label=$1 client=$2 ins=$3 outs=$4
  shift 4
  local log=$WORK/$client.log fifo=$WORK/$client.in pid
  local -a in_ports out_ports
  read -r -a in_ports <<<"$ins"
  read -r -a out_ports <<<"$outs"

  # jalv reads commands from standard input and ends at its end: a FIFO held open here keeps it
  # running, and closing it stops jalv cleanly.
  mkfifo "$fifo"
  exec 7<>"$fifo"
  jalv -x -n "$client" "$@" <"$fifo" >"$log" 2>&1 7>&- &
  pid=$!
  STARTED+=("$pid")
  if ! wait_for_port "$client:${out_ports[0]}" "$pid" 30; then
    tail -n 20 "$log" >&2
    die "jalv could not load $label ($*)"
  fi
  local i
  for ((i = 0; i < ${#in_ports[@]}; i++)); do
    jack_connect "jackplay:out_$((i + 1))" "$client:${in_ports[i]}" ||
      die "could not connect the player to $client:${in_ports[i]}"
  done
  for ((i = 0; i < ${#out_ports[@]}; i++)); do
    jack_connect "$client:${out_ports[i]}" "system:playback_$((i + 1))" ||
      die "could not connect $client:${out_ports[i]} to the playback"
  done

  pause "$WARMUP"
  local ticks0 t0 ticks1 t1
  ticks0=$(cpu_ticks "$pid") || { tail -n 20 "$log" >&2; die "jalv ($label) ended during the warm-up"; }
  t0=$EPOCHREALTIME
  pause "$SECONDS_PER_RUN"
  ticks1=$(cpu_ticks "$pid") || { tail -n 20 "$log" >&2; die "jalv ($label) ended during the run"; }
  t1=$EPOCHREALTIME
  kill -0 "$JACKD_PID" 2>/dev/null || die "jackd ended during the run"

  # How far the output differs from the input: record the player's output and the plug-in's.
  local rec=$WORK/$client-check.wav rec_in rec_out diff
  if ((${#in_ports[@]} == 2)); then
    rec_in=(jackplay:out_1 jackplay:out_2)
    rec_out=("$client:${out_ports[0]}" "$client:${out_ports[1]}")
  else
    rec_in=(jackplay:out_1 jackplay:out_1)
    rec_out=("$client:${out_ports[0]}" "$client:${out_ports[0]}")
  fi
  timeout 20 jack_rec -f "$rec" -d 2 -b 32 "${rec_in[@]}" "${rec_out[@]}" >/dev/null 2>&1 &
  local rec_pid=$!
  STARTED+=("$rec_pid")
  wait "$rec_pid" || die "jack_rec could not record $label's output"
  forget "$rec_pid"
  diff=$("$PYTHON" bench/peers_audio.py compare "$rec")

  echo "monitors" >&7
  sleep 0.5
  exec 7>&-
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_pid "$pid"
  forget "$pid"
  rm -f "$fifo"

  local startup=$ticks0
  RESULTS+=("$label|$t0|$t1|$((ticks1 - ticks0))|$startup|$diff|$log")
}

printf 'peers: %s, jalv %s, JACK dummy backend %d Hz, %d-frame periods, %d s per plug-in\n' \
  "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(dpkg-query -W -f='${Version}' jalv)" "$RATE" "$PERIOD" \
  "$SECONDS_PER_RUN"
printf 'peers: %d cores, load average before: %s\n' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"

run_one "Tesk (stereo)" tesk-stereo "in_l in_r" "out_l out_r" urn:orvanta:tesk
run_one "Tesk Mono" tesk-mono "in" "out" "urn:orvanta:tesk#mono"
run_one "peer: IR convolver, 2 s IR" peer-convolver "in_l in_r" "out_l out_r" -l "$PEER_STATE"
# The floor: the same convolver with no impulse response copies its input to its output.
run_one "floor: convolver without IR" peer-floor "in_l in_r" "out_l out_r" "$PEER_URI"

# The peer must have loaded the impulse response: load status 0 (done) and a length of 2000 ms,
# and its output must differ from the dry input.
peer_log=${RESULTS[2]##*|}
status=$(monitor "$peer_log" ifs0)
length=$(monitor "$peer_log" ifl0)
peer_diff=$(cut -d'|' -f6 <<<"${RESULTS[2]}")
echo "peers: convolver load status ${status:-?} (0 = loaded), impulse length ${length:-?} ms," \
  "output minus dry input ${peer_diff} x the input's RMS"
tesk_log=${RESULTS[0]##*|}
echo "peers: reported latency: Tesk $(monitor "$tesk_log" latency) samples," \
  "convolver $(monitor "$peer_log" out_latency) samples"
[[ $status == 0 && ${length%%.*} -ge 1990 ]] ||
  die "the convolver did not load the impulse response (state key $PEER_FILE_KEY)"
awk -v d="$peer_diff" 'BEGIN { exit !(d > 0.1) }' ||
  die "the convolver's output equals its dry input: the impulse response is not applied"

# --- Table -----------------------------------------------------------------------------------

echo
# The first row (Tesk, stereo) is the reference; the last (the convolver with no impulse
# response: the host, JACK and a plug-in that only copies) is the floor under every row.
printf '%s\n' "${RESULTS[@]}" | awk -F'|' -v hz="$TICKS" '
  { label[NR] = $1; audio[NR] = $3 - $2; cpu[NR] = $4 / hz; start[NR] = $5 / hz; diff[NR] = $6
    share[NR] = cpu[NR] / audio[NR] }
  END {
    floor = share[NR]
    printf "%-30s %7s %7s %9s %7s %11s %11s %9s %7s\n", "plug-in", "audio s", "CPU s", \
      "% of real", "x Tesk", "over floor", "x Tesk over", "start CPU", "out-in"
    for (i = 1; i <= NR; i++) {
      over = share[i] - floor
      printf "%-30s %7.1f %7.2f %8.2f%% %7.2f %10.2f%% %11s %8.2fs %7.3f\n", label[i], audio[i], \
        cpu[i], 100 * share[i], share[i] / share[1], 100 * over, \
        (i < NR && share[1] > floor) ? sprintf("%.2f", over / (share[1] - floor)) : "-", \
        start[i], diff[i]
    }
  }'
cat <<EOF

audio s: wall time of the measured stretch (the dummy backend runs in real time); CPU s: user +
system time of the jalv process over it (/proc/PID/stat, all threads), after ${WARMUP} s of
warm-up; % of real: CPU s / audio s; x Tesk: that share against Tesk (stereo); over floor: the
share above the last row's (the same host and server, with a plug-in that only copies), and x Tesk
over: that excess against Tesk's; start CPU: the process's CPU time before the stretch (loading,
activation, warm-up); out-in: RMS of output minus input over the input's RMS in a 2 s recording
(0: the signal passes unchanged).
EOF
