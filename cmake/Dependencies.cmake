# Every dependency is a Debian package; nothing is downloaded at build time.
find_package(SDL2 REQUIRED CONFIG)
find_package(SDL2_ttf REQUIRED CONFIG)
find_package(SDL2_image REQUIRED CONFIG)
find_package(Freetype REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET GLOBAL cairo)
# The default font's last resort: the system's choice for "Bitstream Vera Sans" or sans-serif.
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET GLOBAL fontconfig)
find_package(utf8cpp REQUIRED CONFIG)
