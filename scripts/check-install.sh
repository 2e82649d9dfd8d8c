#!/usr/bin/env bash
# Installs a build into a temporary prefix and runs the installed orvantis-cli from there:
# the program directory laid out as the programs expect it, and the programs working from it.
#   scripts/check-install.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

for f in lib/orvantis/orvantis lib/orvantis/orvantis-cli lib/orvantis/makecab lib/orvantis/liborvantis-magick.so lib/orvantis/thumbnail-fonts.conf \
         lib/orvantis/Orvantis.HLP bin/orvantis bin/orvantis-cli \
         share/applications/org.zephrin.Orvantis.desktop share/mime/packages/orvantis-tsk.xml \
         share/metainfo/org.zephrin.Orvantis.metainfo.xml share/thumbnailers/orvantis.thumbnailer \
         share/icons/hicolor/48x48/apps/orvantis.png \
         share/icons/hicolor/48x48/mimetypes/application-x-orvantis-document.png \
         share/man/man1/orvantis.1.gz share/man/man1/orvantis-cli.1.gz \
         share/bash-completion/completions/orvantis-cli share/zsh/vendor-completions/_orvantis-cli \
         share/fish/vendor_completions.d/orvantis-cli.fish; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
# What the build made of the optional parts is installed too.
for f in librapi.so libcradlelink.so FRData.dat; do
  if [ -e "$build/$f" ] && [ ! -e "$prefix/lib/orvantis/$f" ]; then
    fail "lib/orvantis/$f is not installed"
  fi
done

export ORVANTIS_HOME="$prefix/home" XDG_CONFIG_HOME="$prefix/config" XDG_RUNTIME_DIR="$prefix"
cli="$prefix/bin/orvantis-cli"
"$cli" build --name Installed --color 5=#FF8000 -o "$prefix/Installed.tsk" || fail "build failed"
info=$("$cli" info "$prefix/Installed.tsk") || fail "info failed"
case $info in
  *'"name":"Installed"'*'"5":"#FF8000"'*) ;;
  *) fail "info gave: $info" ;;
esac
"$cli" render "$prefix/Installed.tsk" --screen main --time 09:05 -o "$prefix/main.png" || fail "render failed"
[ -s "$prefix/main.png" ] || fail "render wrote nothing"
# The thumbnailer's command line, as a file manager fills it in.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/orvantis.thumbnailer")
exec_line=${exec_line//%i/$prefix/Installed.tsk}
exec_line=${exec_line//%o/$prefix/thumb.png}
exec_line=${exec_line//%s/128}
PATH="$prefix/bin:$PATH" $exec_line || fail "thumbnailer failed: $exec_line"
[ -s "$prefix/thumb.png" ] || fail "thumbnailer wrote nothing"
echo "check-install: installed programs work from $prefix"
