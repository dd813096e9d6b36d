# Sourced by the build scripts: installs the Debian packages Bindwise needs, only those that
# are missing, with one apt-get update. Works as root; otherwise through sudo when present.
BINDWISE_BUILD_PACKAGES=(
  g++ make cmake pkg-config
  libwxgtk3.2-dev libcli11-dev nlohmann-json3-dev libcairo2-dev libpango1.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
)
BINDWISE_TEST_PACKAGES=(
  xvfb xauth xdotool imagemagick poppler-utils clang libclang-rt-14-dev desktop-file-utils
  locales
)

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A comma-decimal locale, so the tests can show that cells parse "1.5" the same under it.
ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || echo "note: could not generate de_DE.UTF-8"
}
