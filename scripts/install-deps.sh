#!/usr/bin/env bash
# Installs the Debian packages the client, its tests and its screenshots need.
# qt6-translations-l10n: Qt's own Korean texts (qtbase_ko.qm), which the client loads at start-up.
# zlib1g-dev: the .xlsx export deflates the workbook's parts with zlib.
# python3-openpyxl and gnumeric (ssconvert): the export tests read the written files back as
# spreadsheet programs do.
# libpq-dev: the PostgreSQL store (the client and delmora-store link libpq); postgresql: the
# store tests run the client against a private server cluster (initdb/pg_ctl).
# libsodium-dev: the embedded store keeps brokers' passwords as Argon2id hashes.
# lintian: the package test checks the built package as the archive would; pgbouncer: a store
# test runs the desks' statements and the live board through a connection pooler.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-odbc libgl-dev
  qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
  libsqlite3-dev sqlite3 unixodbc unixodbc-dev tdsodbc zlib1g-dev
  libpq-dev postgresql libsodium-dev pgbouncer lintian
  libqt6printsupport6 poppler-utils
  fonts-nanum xvfb xauth x11-apps imagemagick xdotool
  ibus ibus-hangul dbus-x11
  clang libclang-rt-14-dev
  dpkg-dev desktop-file-utils appstream qt6-qpa-plugins
  qt6-translations-l10n
  python3-openpyxl gnumeric
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
