# Sourced by the scripted tests: a fresh home of the user's own for one run of the programs, and
# the quit message to a running Vantrel.

# Sets HOME and the XDG folders below a new temporary folder, in $home.
make_scratch_home() {
  home=$(mktemp -d)
  export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run
  unset LC_ALL LC_MESSAGES LANG
  mkdir -p "$XDG_RUNTIME_DIR"
}

# send_quit SOCKET: asks the program behind the socket to end; fails unless it answers "ok".
send_quit() {
  python3 - "$1" <<'PY'
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.connect(sys.argv[1])
s.sendall(b"message 1691 0 610\n")
answer = s.makefile().readline().strip()
assert answer == "ok", answer
PY
}
