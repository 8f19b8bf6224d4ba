#!/usr/bin/env bash
# Builds the static libraries the Windows programs link (zlib, libpng, expat and
# wxWidgets for MSW) from Debian's source packages with MinGW-w64, once: the
# result lives in a folder keyed by the source versions and is reused.
# Prints only progress; the folder is chosen in env.sh.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"

quarrix_win_install_packages
quarrix_win_enable_sources
quarrix_win_paths

prefix="$QUARRIX_WIN_DEPS"
if [ -f "$prefix/.complete" ]; then
  echo "Windows dependencies present: $prefix"
  exit 0
fi

host=x86_64-w64-mingw32
jobs="${QUARRIX_WIN_JOBS:-2}"
work="$(mktemp -d "${TMPDIR:-/tmp}/quarrix-windeps.XXXXXX")"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"   # apt downloads as its own user
rm -rf "$prefix"
mkdir -p "$prefix"
start=$(date +%s)

cd "$work"
# Sources straight from Debian's archive, with Debian's patches applied.
for p in $QUARRIX_WIN_SOURCES; do
  apt-get source --download-only "$p=$(quarrix_win_source_version "$p")" >/dev/null 2>&1
done
for p in $QUARRIX_WIN_SOURCES; do
  dpkg-source -x --no-check "$(ls "${p}"_*.dsc | head -n1)" "src-$p" >/dev/null
done

export CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" RANLIB="$host-ranlib"
export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
export CFLAGS="-O2" CXXFLAGS="-O2"
run() { nice -n 19 "$@"; }

echo "== zlib"
# Debian's zlib source has no Windows makefile; the library is a handful of files.
(cd src-zlib && mkdir -p "$prefix/include" "$prefix/lib" && \
 for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
          inflate inftrees trees uncompr zutil; do
   run "$CC" $CFLAGS -c "$f.c" -o "$f.o" || exit 1
 done && "$AR" rcs "$prefix/lib/libz.a" ./*.o && cp zlib.h zconf.h "$prefix/include/")

echo "== libpng"
(cd src-libpng1.6 && run ./configure --host="$host" --prefix="$prefix" --disable-shared --enable-static \
   >/dev/null 2>&1 && run make -j"$jobs" libpng16.la >/dev/null && make install >/dev/null 2>&1)

echo "== expat"
# Debian's patches test "#if XML_DTD == 1", which autotools defines and CMake leaves empty.
(run cmake -S src-expat/expat -B build-expat -G Ninja -DCMAKE_BUILD_TYPE=Release \
   -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
   -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
   -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=ON >/dev/null && \
 sed -i 's/^#define XML_DTD$/#define XML_DTD 1/; s/^#define XML_NS$/#define XML_NS 1/' \
   build-expat/expat_config.h && \
 run cmake --build build-expat -j "$jobs" >/dev/null && cmake --install build-expat >/dev/null)

echo "== wxWidgets (MSW, static, unicode)"
mkdir -p src-wxwidgets3.2/build-msw
(cd src-wxwidgets3.2/build-msw && run ../configure --host="$host" --prefix="$prefix" \
   --with-msw --disable-shared --enable-unicode --disable-debug_flag \
   --with-zlib=sys --with-libpng=sys --with-expat=sys --without-libjpeg --without-libtiff \
   --without-liblzma --without-libcurl --without-opengl --without-regex \
   --disable-webview --disable-mediactrl --disable-stc --disable-propgrid --disable-ribbon \
   --disable-aui --disable-richtext --disable-webrequest --disable-sound --disable-joystick \
   --disable-precomp-headers \
   >"$work/wx-configure.log" 2>&1 || { tail -40 "$work/wx-configure.log"; exit 1; }
 run make -j"$jobs" >"$work/wx-make.log" 2>&1 || { tail -60 "$work/wx-make.log"; exit 1; }
 make install >/dev/null)

echo "$QUARRIX_WIN_KEY" >"$prefix/.complete"
echo "Windows dependencies built in $(( $(date +%s) - start )) s: $prefix"
