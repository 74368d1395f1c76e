# The 32-bit ARM (armhf) build: cross compiler, emulator and the target's
# libraries. Sourced by scripts/test after env.sh, not run.

# Host packages: the cross compiler and user-mode emulation.
QUOR_ARMHF_HOST_PACKAGES=(g++-arm-linux-gnueabihf qemu-user-static)

# Debian's armhf packages the build links against and the emulated tests load:
# the C and C++ runtimes, glib, GoogleTest, and libbsd for the strlcpy
# comparison. Boost is header-only and comes from the host.
QUOR_ARMHF_PACKAGES=(libc6 libgcc-s1 libstdc++6 libglib2.0-0 libglib2.0-dev libpcre2-8-0
                     libpcre2-dev libgtest-dev libgmock-dev libbsd0 libmd0 libedit2
                     libedit-dev libtinfo6)

# Unpacks QUOR_ARMHF_PACKAGES into $1/root, the system root that the cross
# build links against and qemu runs the tests in. The packages come from the
# machine's own Debian sources through a private apt state, so the host's
# package database gains no second architecture: installing them beside the
# host's (multiarch) would need every shared package at the very same version
# on both architectures, which a mirror lagging for one of them breaks.
quor_armhf_sysroot() {
    local dir=$1 want="${QUOR_ARMHF_PACKAGES[*]}"
    if [ -f "$dir/packages" ] && [ "$(cat "$dir/packages")" = "$want" ]; then
        return 0
    fi
    echo "quor: fetching the armhf libraries into $dir"
    rm -rf "$dir"
    mkdir -p "$dir/apt/lists/partial" "$dir/apt/cache/archives/partial" "$dir/debs" "$dir/root"
    : >"$dir/apt/status"
    local apt=(apt-get -qq -o APT::Architecture=armhf -o APT::Architectures::=armhf
               -o Dir::State::Lists="$dir/apt/lists" -o Dir::Cache="$dir/apt/cache"
               -o Dir::State::status="$dir/apt/status" -o APT::Sandbox::User="$(id -un)")
    # A list that fails to download (a mirror in sync) leaves the others usable.
    "${apt[@]}" update || echo "quor: some armhf package lists are missing; using the others" >&2
    (cd "$dir/debs" && "${apt[@]}" download "${QUOR_ARMHF_PACKAGES[@]}")
    local deb
    for deb in "$dir"/debs/*.deb; do
        dpkg-deb -x "$deb" "$dir/root"
    done
    echo "$want" >"$dir/packages"
}
