#!/bin/sh
# Runs a command with the accessibility bus of the current D-Bus session
# (started by dbus-run-session): at-spi-bus-launcher starts the bus and its
# registry, then the command runs and the launcher is stopped again.
# Usage: with-atspi-bus.sh LAUNCHER COMMAND...
launcher=$1
shift
"$launcher" --launch-immediately &
bus=$!
# The launcher owns org.a11y.Bus once the bus is up.
tries=0
until dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "at-spi-bus-launcher did not start" >&2
        kill "$bus" 2>/dev/null
        exit 1
    fi
    sleep 0.1
done
"$@"
status=$?
kill "$bus" 2>/dev/null
wait "$bus" 2>/dev/null
exit $status
