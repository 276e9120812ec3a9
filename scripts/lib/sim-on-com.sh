# Sourced by the Wine checks that put a simulated switch on a COM port.
# simOnCom5 SIM MODEL WORK_DIR starts the Linux quirn-sim (program SIM) as a MODEL at 1,1,1 on a
# pseudo-terminal, maps Wine's COM5 to it and restarts the Wine server, which reads its port
# map when it starts. It sets simpid for the caller's clean-up; it returns 1, with the
# simulator's errors on stderr, when the simulator named no device within 5 s.
simOnCom5() {
  local sim=$1 model=$2 work=$3 pty
  "$sim" --model "$model" --address 1,1,1 --pty >"$work/sim.out" 2>"$work/sim.err" &
  simpid=$!
  for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  pty=$(head -1 "$work/sim.out")
  if [ -z "$pty" ]; then
    cat "$work/sim.err" >&2
    return 1
  fi
  wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$pty" /f >/dev/null 2>&1
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
}
