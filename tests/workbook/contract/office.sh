#!/bin/bash
# Starts or stops the private headless LibreOffice that the UNO tests of one build tree share.
# office.sh start|stop PIPE STATEDIR ; stop ends only the process that start began.
set -u
CMD=$1; PIPE=$2; DIR=$3
SOFFICE=${PLOXEN_SOFFICE:-/usr/lib/libreoffice/program/soffice.bin}
mkdir -p "$DIR"
launch() {
  # Every descriptor goes to the log, or CTest would wait for the office to close its pipe.
  setsid "$SOFFICE" --headless --invisible --norestore --nologo --nodefault --nolockcheck \
    "-env:UserInstallation=file://$DIR/profile" "--accept=pipe,name=$PIPE;urp;" \
    </dev/null >>"$DIR/soffice.log" 2>&1 &
  echo $! >"$DIR/soffice.pid"
}
alive() { kill -0 "$(cat "$DIR/soffice.pid" 2>/dev/null)" 2>/dev/null; }
pin_locale() {
  # Texts as displayed depend on the office's locale: the tests pin it to en-US.
  local xcu="$DIR/profile/user/registrymodifications.xcu"
  [ -f "$xcu" ] && return
  mkdir -p "$DIR/profile/user"
  cat >"$xcu" <<'XCU'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Setup/L10N"><prop oor:name="ooSetupSystemLocale" oor:op="fuse"><value>en-US</value></prop></item>
</oor:items>
XCU
}
case $CMD in
start)
  [ -x "$SOFFICE" ] || { echo "LibreOffice is not installed: the UNO tests skip"; exit 0; }
  alive && exit 0
  pin_locale
  rm -f "/tmp/OSL_PIPE_$(id -u)_$PIPE"
  launch
  for _ in $(seq 1 600); do
    [ -S "/tmp/OSL_PIPE_$(id -u)_$PIPE" ] && exit 0
    if ! alive; then
      wait "$(cat "$DIR/soffice.pid")"; rc=$?
      if [ "$rc" = 81 ]; then launch; continue; fi   # a fresh profile restarts once
      cat "$DIR/soffice.log"; exit 1
    fi
    sleep 0.1
  done
  echo "LibreOffice did not open its pipe"; exit 1 ;;
stop)
  alive || exit 0
  PID=$(cat "$DIR/soffice.pid")
  for sig in TERM KILL; do
    kill -$sig "$PID" 2>/dev/null
    for _ in $(seq 1 100); do alive || { rm -f "$DIR/soffice.pid"; exit 0; }; sleep 0.1; done
  done
  exit 1 ;;
esac
