#!/bin/sh
# Inside the VM: the transport test against the real ALSA sequencer, then the
# program end to end with a virtual keyboard and a listener.
#   vm_tests.sh TRANSPORT_TEST PROGRAM OUTDIR
status=0
mkdir -p /tmp/runtime && chmod 700 /tmp/runtime
export XDG_RUNTIME_DIR=/tmp/runtime
echo "=== transport against the ALSA sequencer ==="
SORAMINA_MIDI_TRANSPORT=alsa QT_QPA_PLATFORM=offscreen "$1" || status=1
echo "=== the program, played from a virtual keyboard ==="
python3 "$(dirname "$0")/midi_e2e.py" "$2" "$3" || status=1
exit $status
