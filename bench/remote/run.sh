#!/usr/bin/env bash
# A remote scan streamed over ssh (loopback, an sshd of the benchmark's own
# on 127.0.0.1) against the same scan exported to a file and that file
# opened, both read as the window reads them (every item kept); rounds
# alternate, warm cache. The stream should take at most 1.3 times as long.
# Usage: bench/remote/run.sh [BUILD_DIR]
#   ROUNDS=3 TREES="1000000" SEED=99
set -euo pipefail
. "$(dirname "$0")/../common.sh" remote "${1:-build}"
rounds=${ROUNDS:-3}
trees=${TREES:-"1000000"}
seed=${SEED:-99}
opener="$build/bench/remote/remote_open_bench"
[ -x "$opener" ] || { echo "remote: $opener not built" >&2; exit 1; }
[ -x /usr/sbin/sshd ] || { echo "remote: no sshd (openssh-server), skipped" >&2; exit 0; }
out=$(mktemp -d)
times=$(mktemp)
sshd_pid=
trap '[ -n "$sshd_pid" ] && kill "$sshd_pid"; rm -rf "$out" "$times"' EXIT

# The server: host and user key, known_hosts and a PATH with the scanner.
ssh-keygen -q -t ed25519 -N '' -f "$out/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$out/user_key"
cp "$out/user_key.pub" "$out/authorized_keys"
mkdir "$out/bin" && ln -s "$scan" "$out/bin/cobaltquarry-scan" && ln -s /bin/sh "$out/bin/sh"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$out/sshd_config" <<CONF
Port $port
ListenAddress 127.0.0.1
HostKey $out/host_key
AuthorizedKeysFile $out/authorized_keys
StrictModes no
PermitRootLogin yes
PasswordAuthentication no
UsePAM no
PidFile none
SetEnv PATH=$out/bin:/usr/bin:/bin
CONF
echo "[127.0.0.1]:$port $(cat "$out/host_key.pub")" >"$out/known_hosts"
mkdir -p /run/sshd
/usr/sbin/sshd -D -e -f "$out/sshd_config" 2>"$out/sshd.log" &
sshd_pid=$!
for _ in $(seq 50); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done
export COBALTQUARRY_SSH="ssh -F /dev/null -l $(id -un) -i $out/user_key -o IdentitiesOnly=yes -o UserKnownHostsFile=$out/known_hosts -o GlobalKnownHostsFile=/dev/null"
export opener scan port

for files in $trees; do
  T=$(bench_tree "$files" "$seed")
  O="$out"
  export T O
  "$opener" ssh 127.0.0.1 "$port" "$T" >/dev/null || { echo "remote: the stream fails" >&2; exit 1; }
  echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
  : >"$times"
  for ((r = 1; r <= rounds; r++)); do
    timed "--export FILE.zst, then open it" warm \
      "\$scan --export \"\$O/s.json.zst\" \"\$T\" && \$opener file \"\$O/s.json.zst\""
    timed "--export FILE, then open it" warm \
      "\$scan --export \"\$O/s.json\" \"\$T\" && \$opener file \"\$O/s.json\""
    timed "streamed over ssh" warm "\$opener ssh 127.0.0.1 \$port \"\$T\""
  done
  report "A remote scan of $files files over the loopback"
  echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
done
