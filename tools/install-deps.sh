#!/bin/sh
# Installs everything Framora needs to build, run and test, from Debian 12's packages.
# Run as root (or through sudo).
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config ccache \
    qt6-base-dev qt6-base-dev-tools libqt6dbus6 libqt6opengl6 qt6-qpa-plugins qt6-translations-l10n \
    adwaita-icon-theme \
    libvlc-dev vlc-plugin-base vlc-plugin-video-output \
    libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libjpeg62-turbo-dev \
    ffmpeg xvfb xauth xdotool xclip imagemagick x11-utils \
    fonts-dejavu-core dbus dbus-x11 \
    clang clang-format llvm-14 libclang-rt-14-dev desktop-file-utils lintian appstream \
    libdeflate0 >/dev/null
