#!/bin/sh
# Creates and configures the private Wine prefix once (about 12 s). Idempotent,
# and safe when several test processes race to do it.
#
# NUV_WINE_VARIANT sets the prefix up as another kind of machine would be
# (wine-session.sh gives each variant its own prefix folder):
#   (unset)      the project's prefix: Wine's own fonts and CJK font links
#   stock-fonts  Wine as installed: no fonts copied in, no CJK links or substitutes
#   dpi144       the project's prefix at 150 % display scaling (144 DPI)
set -eu
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=" LANG=C.UTF-8
: "${WINEPREFIX:?}"
variant=${NUV_WINE_VARIANT:-}
case $variant in
'' | stock-fonts | dpi144) ;;
*) echo "unknown NUV_WINE_VARIANT '$variant' (stock-fonts, dpi144 or unset)" >&2; exit 2 ;;
esac
[ -f "$WINEPREFIX/.configured" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock -w 300 9
[ -f "$WINEPREFIX/.configured" ] && exit 0

wine wineboot -i </dev/null >/dev/null 2>&1
wineserver -w
# Without a window manager, hiding a "managed" window waits 2 s each time.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null

if [ "$variant" != stock-fonts ]; then
  # Debian's Wine looks for its own fonts beside itself, not where fonts-wine puts them.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # Chinese text: link the dialog and caption faces to a CJK font, and map the
  # Song faces the finder asks for by name.
  LINK='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  SUBST='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  for face in 'Tahoma' 'Tahoma Bold' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'; do
    wine reg add "$LINK" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null
  done
  for face in '新宋体' 'NSimSun' '宋体' 'SimSun'; do
    wine reg add "$SUBST" /v "$face" /t REG_SZ /d 'WenQuanYi Micro Hei Mono' /f >/dev/null
  done
fi

if [ "$variant" = dpi144 ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
fi

wineserver -w
touch "$WINEPREFIX/.configured"
