#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed tree:
# the layout, the programs on bin/, the desktop files, and a first start of an
# ordinary user whose home is empty and who cannot write to the prefix.
# Usage: check-install.sh BUILD_DIR APP_ID      (exit 77: skipped)
set -euo pipefail
build=$1
app_id=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/zr417-cps bin/zr417-cli \
         share/zr417cps/kelvane.def share/zr417cps/dhcpqec.def \
         share/zr417cps/DefRadioSet_VHF.def share/zr417cps/DefRadioSet_UHF.def \
         share/zr417cps/EngHelp.html share/zr417cps/ChsHelp.html share/zr417cps/ChtHelp.html \
         share/zr417cps/softface.tsv \
         "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
         share/mime/packages/zr417-cps.xml \
         share/icons/hicolor/scalable/apps/$app_id.svg \
         share/icons/hicolor/48x48/apps/$app_id.png share/icons/hicolor/128x128/apps/$app_id.png \
         share/icons/hicolor/256x256/apps/$app_id.png \
         share/man/man1/zr417-cps.1.gz share/man/man1/zr417-cli.1.gz share/doc/zr417-cps/copyright share/doc/zr417-cps/changelog.gz \
         share/bash-completion/completions/zr417-cli share/zsh/vendor-completions/_zr417-cli \
         share/fish/vendor_completions.d/zr417-cli.fish \
         lib/udev/rules.d/70-zr417cps.rules; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/bin/zr417-cps" ] && [ -x "$prefix/bin/zr417-cli" ] || fail "programs are not executable"
# Nothing of ours outside the layout (the old lib/zr417cps folder is gone).
[ ! -e "$prefix/lib/zr417cps" ] || fail "lib/zr417cps still installed"
[ ! -e "$prefix/bin/kelvane.def" ] || fail "configuration installed beside the programs"

grep -q "^zr417-cli [0-9]" <(env -i PATH=/usr/bin:/bin "$prefix/bin/zr417-cli" --version) \
  || fail "zr417-cli --version"
grep -q "^zr417-cps [0-9]" <(env -i PATH=/usr/bin:/bin "$prefix/bin/zr417-cps" --version) \
  || fail "zr417-cps --version (without a display)"
grep -q "FILE.dat" <(env -i PATH=/usr/bin:/bin "$prefix/bin/zr417-cps" --help) || fail "zr417-cps --help"

# The udev rule marks every cable family it names.
rule=$prefix/lib/udev/rules.d/70-zr417cps.rules
for vendor in 1a86 10c4 0403 067b; do grep -q "idVendor}==\"$vendor\"" "$rule" || fail "udev rule misses $vendor"; done
grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1", TAG+="uaccess"' "$rule" || fail "udev rule sets nothing"

# First start of an ordinary user: empty home, read-only prefix.
home=$work/home
mkdir -p "$home"
chmod -R a-w "$prefix"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  if command -v setpriv >/dev/null && setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
    chown nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  else
    echo "SKIP: running as root without setpriv to become nobody; the non-root first start is not checked" >&2
    exit 77
  fi
fi
out=$work/show.txt
"${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" \
  "$prefix/bin/zr417-cli" show "$prefix/share/zr417cps/dhcpqec.def" >"$out" 2>"$work/show.err" \
  || { cat "$work/show.err" >&2; fail "installed zr417-cli cannot show the default image"; }
grep -q "ZR-417" "$out" || fail "the default image shows no model"
[ ! -s "$work/show.err" ] || { cat "$work/show.err" >&2; fail "messages on the first start"; }
cmp -s "$home/.config/zr417cps/kelvane.def" "$prefix/share/zr417cps/kelvane.def" \
  || fail "the user's configuration was not created as a copy of the shipped one"

# The desktop files pass the validators where they are installed.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate"
else
  echo "note: desktop-file-validate not installed, desktop entry not validated" >&2
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$prefix/share/metainfo/$app_id.metainfo.xml" >"$work/as.txt" \
    || { cat "$work/as.txt" >&2; fail "appstreamcli validate"; }
else
  echo "note: appstreamcli not installed, AppStream file not validated" >&2
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$prefix/share/mime/packages/zr417-cps.xml" || fail "MIME type file is not XML"
fi
echo "installed tree OK"
