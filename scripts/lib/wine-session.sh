# A Wine session for the Windows window's scripts: sourced, then
#   wine_session "$@"   re-runs the calling script inside a mount namespace
#                       of its own, with a session directory and a display
#   ...                 (start the simulated trackers here)
#   wine_start          hides the machine's devices from Wine, makes the prefix
# Inside the namespace /dev/ttyS0 (on these machines the kernel console) is
# /dev/null, and Wine sees a private /dev without any serial device of the
# machine, so the only COM ports are those mapped with map_com_port. The
# prefix is a throw-away one (made once per session: wineboot is slow), and
# the windows show on an Xvfb display of their own. All of it goes at exit.

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono and no Gecko: nothing here needs them, and asking for them stalls.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# /dev for Wine: the few nodes it needs, and the machine's pseudo-terminals.
private_dev() {
  local keep
  keep=$(mktemp -d)
  mount --rbind /dev "$keep"
  mount -t tmpfs -o mode=755 vorlen-dev /dev
  for node in null zero full random urandom tty ptmx; do
    touch "/dev/$node"
    mount --bind "$keep/$node" "/dev/$node"
  done
  mkdir /dev/pts /dev/shm
  mount --bind "$keep/pts" /dev/pts
  mount -t tmpfs vorlen-shm /dev/shm
  ln -s /proc/self/fd /dev/fd
  umount -l "$keep"
  rmdir "$keep"
}

session_cleanup() {
  local status=$?
  wineserver -k 2>/dev/null || true
  for pid in ${SESSION_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$SESSION_DIR"
  exit $status
}

# Starts a program in the background and stops it with the session.
session_background() {
  "$@" &
  SESSION_PIDS="${SESSION_PIDS:-} $!"
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
  trap session_cleanup EXIT
  trap 'exit 130' INT TERM
  local display=$((100 + $$ % 800))
  session_background Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp
  export DISPLAY=":$display"
}

# Pseudo-terminals are opened before: the private /dev has none to open.
wine_start() {
  private_dev
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
}

# Maps COM<n> to a Unix device; takes effect at the next wine_restart.
map_com_port() {
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
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

# A Unix path as a Windows program names it.
windows_path() {
  printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"
}
