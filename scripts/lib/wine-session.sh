# The one Wine session of every Windows script: sourced, then
#   wine_session "$@"   re-runs the calling script inside a mount namespace of
#                       its own, with a session directory and a throw-away
#                       prefix; ttyS0 (on these machines the kernel
#                       console, which Wine would map as COM1) is /dev/null
#   wine_display        gives the session an Xvfb display of its own
#   start_tracker ...   starts a simulated tracker on a pseudo-terminal
#   wine_start          hides the machine's devices from Wine, makes the prefix
#   map_com_port n dev  maps COM<n> to a Unix device
#   map_station_slots n...  maps COM<n> to a link that a test plugs trackers into
#   wine_restart        restarts the Wine server so the mapped ports are listed
#   wine_keep_server    keeps one Wine server for the rest of the session
# Inside the namespace Wine sees a private /dev without any serial device of
# the machine, so the only COM ports are those mapped with map_com_port. The
# prefix is made once per session (wineboot is slow). All of it goes at exit.
# scripts/lib/wine-isolated runs one program in such a session.

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono and no Gecko: nothing here needs them, and asking for them stalls.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# /dev for Wine: the few nodes it needs, and the machine's pseudo-terminals.
# A new pseudo-terminal (a tracker the provisioning suite starts) comes from
# a ptmx beside this /dev/pts: the kernel looks for pts next to the ptmx
# opened, and a bound one would point into the /dev that is gone.
private_dev() {
  local keep
  keep=$(mktemp -d)
  mount --rbind /dev "$keep"
  mount -t tmpfs -o mode=755 vorlen-dev /dev
  for node in null zero full random urandom tty; do
    touch "/dev/$node"
    mount --bind "$keep/$node" "/dev/$node"
  done
  mkdir /dev/pts /dev/shm
  mount --bind "$keep/pts" /dev/pts
  mknod -m 666 /dev/ptmx c 5 2 2>/dev/null || ln -s pts/ptmx /dev/ptmx
  mount -t tmpfs vorlen-shm /dev/shm
  ln -s /proc/self/fd /dev/fd
  umount -l "$keep"
  rmdir "$keep"
}

# A stopped tracker hears no signal but SIGCONT, so every one is woken first.
session_cleanup() {
  local status=$?
  wineserver -k 2>/dev/null || true
  for pid in ${SESSION_PIDS:-}; do
    kill -CONT "$pid" 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$SESSION_DIR"
  exit $status
}

# Starts a program in the background and stops it with the session; its
# process id is in SESSION_PID.
session_background() {
  "$@" &
  SESSION_PID=$!
  SESSION_PIDS="${SESSION_PIDS:-} $SESSION_PID"
}

wine_session() {
  if [ -z "${VORLEN_WINE_SESSION:-}" ]; then
    local as_user=()
    [ "$(id -u)" -eq 0 ] || as_user=(--map-root-user)
    VORLEN_WINE_SESSION=1 exec unshare --mount --propagation private "${as_user[@]}" "$0" "$@"
  fi
  if [ -e /dev/ttyS0 ]; then mount --bind /dev/null /dev/ttyS0; fi
  SESSION_DIR=$(mktemp -d)
  export WINEPREFIX=$SESSION_DIR/prefix
  # Programs the session starts (wine-isolated among them) find it here.
  export VORLEN_WINE_SESSION_PREFIX=$WINEPREFIX
  trap session_cleanup EXIT
  trap 'exit 130' INT TERM
}

wine_display() {
  local display=$((100 + $$ % 800))
  session_background Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp
  export DISPLAY=":$display"
}

# start_tracker <sim> <name> [sim options...]: a simulated tracker on a
# pseudo-terminal linked as $SESSION_DIR/<name>, once the link is there; its
# process id is in SESSION_PID. Pseudo-terminals are opened before
# wine_start: the private /dev has only the machine's.
start_tracker() {
  local sim=$1 name=$2
  shift 2
  session_background "$sim" --link "$SESSION_DIR/$name" "$@" >/dev/null
  for _ in $(seq 50); do
    [ -e "$SESSION_DIR/$name" ] && return
    sleep 0.1
  done
  echo "$(basename "$0"): the simulated tracker $name did not start" >&2
  exit 1
}

wine_start() {
  private_dev
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
}

# Maps COM<n> to a Unix device in both places Wine looks: the prefix's
# dosdevices link opens it at once, and the registry's port lists it for
# the system's port discovery from the next wine_restart. The provisioning
# suite maps its trackers by the same link (tests/provision/provision_tool.cpp).
map_com_port() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
}

# map_station_slots <n>...: station slots for the provisioning suite. Each
# COM<n> leads to the link $SESSION_DIR/slot-com<n>, which the suite makes to
# a tracker's terminal and removes to pull it out, so that the port appears
# and vanishes as a USB adapter's does; mapped before wine_restart, Wine's
# port list knows them. VORLEN_TEST_SLOT_PORTS names them: "COM<n>=<link> ...".
map_station_slots() {
  local slots=()
  for n in "$@"; do
    map_com_port "$n" "$SESSION_DIR/slot-com$n"
    slots+=("COM$n=$SESSION_DIR/slot-com$n")
  done
  export VORLEN_TEST_SLOT_PORTS="${slots[*]}"
}

# The form's font has no Chinese characters; Windows draws them from the
# fonts linked to it. A fresh prefix links nothing, so link WenQuanYi.
link_cjk_font() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local fonts='wqy-microhei.ttc,WenQuanYi Micro Hei\0wqy-microhei.ttc,WenQuanYi Micro Hei'
  for font in "MS Sans Serif" "Microsoft Sans Serif" "Tahoma"; do
    wine reg add "$key" /v "$font" /t REG_MULTI_SZ /d "$fonts" /f >/dev/null 2>&1
  done
}

# Restarts the Wine server, so that the registry's ports are mapped.
wine_restart() {
  wineserver -k 2>/dev/null || true
  wineserver -w
}

# Starts the prefix's server to stay until the session ends, with its own
# services, their output going nowhere: programs started one after another
# then never meet a server that is shutting down ("recvmsg: Connection reset
# by peer"), and no service holds a test runner's output open.
wine_keep_server() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
}

# A Unix path as a Windows program names it.
windows_path() {
  printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"
}
