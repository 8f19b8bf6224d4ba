#!/usr/bin/env bash
# Builds the static libraries the Windows programs link (libarchive with zlib,
# bzip2, liblzma and zstd for the core; libpng, expat and wxWidgets for MSW for
# the GUI) from Debian's source packages with MinGW-w64, once: the result lives
# in a folder keyed by the source versions and is reused. QUARRIX_WIN_NO_GUI=1
# builds only the core's. Prints only progress; the folder is chosen in env.sh.
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
# Runs a step with its output in a log, shown only when it fails.
logged() {
  local log="$work/$1.log"
  shift
  "$@" >"$log" 2>&1 || { tail -40 "$log"; return 1; }
}
finish() {
  echo "$QUARRIX_WIN_KEY" >"$prefix/.complete"
  echo "Windows dependencies built in $(( $(date +%s) - start )) s: $prefix"
  exit 0
}
cmake_mingw() {
  run cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
}

echo "== zlib"
# Debian's zlib source has no Windows makefile; the library is a handful of files.
(cd src-zlib && mkdir -p "$prefix/include" "$prefix/lib" && \
 for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
          inflate inftrees trees uncompr zutil; do
   run "$CC" $CFLAGS -c "$f.c" -o "$f.o" || exit 1
 done && "$AR" rcs "$prefix/lib/libz.a" ./*.o && cp zlib.h zconf.h "$prefix/include/")

echo "== bzip2"
# Like zlib, a handful of files.
(cd src-bzip2 && for f in blocksort huffman crctable randtable compress decompress bzlib; do
   run "$CC" $CFLAGS -c "$f.c" -o "$f.o" || exit 1
 done && "$AR" rcs "$prefix/lib/libbz2.a" ./*.o && cp bzlib.h "$prefix/include/")

echo "== liblzma"
(logged xz-configure cmake_mingw -S src-xz-utils -B build-xz -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF && \
 logged xz-build run cmake --build build-xz -j "$jobs" --target liblzma && \
 cmake --install build-xz --component liblzma_Development >/dev/null)

echo "== zstd"
(cd src-libzstd/lib && \
 logged zstd run make -j"$jobs" libzstd.a CC="$CC" AR="$AR" ZSTD_NO_ASM=1 ZSTD_LIB_DICTBUILDER=0 && \
 cp libzstd.a "$prefix/lib/" && cp zstd.h zstd_errors.h "$prefix/include/")

echo "== libarchive"
# Only the static library, reading and writing what these libraries give; no
# crypto, XML, iconv (Windows converts names itself), ACLs, tools or tests.
# Its one run-time check (is zlib built for WINAPI? it is not) must not start
# Wine, so the emulator is a command that fails.
(export CFLAGS="$CFLAGS -DLZMA_API_STATIC" PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
 logged libarchive-configure cmake_mingw -S src-libarchive -B build-libarchive -DQUARRIX_WIN_DEPS="$prefix" \
   -DQUARRIX_WINE="$(type -P false)" -DWINDOWS_VERSION=WIN7 -DENABLE_WERROR=OFF \
   -DENABLE_ZLIB=ON -DENABLE_BZip2=ON -DENABLE_LZMA=ON -DENABLE_ZSTD=ON \
   -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_CNG=OFF -DENABLE_LIBB2=OFF \
   -DENABLE_LZ4=OFF -DENABLE_LZO=OFF -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF -DPOSIX_REGEX_LIB=NONE \
   -DENABLE_ICONV=OFF -DENABLE_ACL=OFF -DENABLE_XATTR=OFF \
   -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF -DENABLE_TEST=OFF -DENABLE_INSTALL=OFF && \
 logged libarchive-build run cmake --build build-libarchive -j "$jobs" --target archive_static && \
 cp build-libarchive/libarchive/libarchive_static.a "$prefix/lib/libarchive.a" && \
 cp src-libarchive/libarchive/archive.h src-libarchive/libarchive/archive_entry.h "$prefix/include/")

# Without the GUI, these are all.
[ "$QUARRIX_WIN_SOURCES" != "$QUARRIX_WIN_CORE_SOURCES" ] || finish

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

finish
