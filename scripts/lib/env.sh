# Shared by the entry-point scripts: package installation and kernel limits.
# Sourced, not run.

QUOR_PACKAGES=(cmake g++ pkg-config libglib2.0-dev libboost-dev libgtest-dev libgmock-dev
               libbenchmark-dev libbsd-dev libedit-dev clang-format dpkg-dev file
               liblua5.4-dev)

# Installs the Debian packages that are missing: those named, else
# QUOR_PACKAGES. Only root can install; others are told what is missing and
# the build goes on (it fails clearly if a package is really needed).
quor_install_packages() {
    local missing=() pkg
    [ $# -gt 0 ] || set -- "${QUOR_PACKAGES[@]}"
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "quor: missing packages (run as root to install): ${missing[*]}" >&2
        return 0
    fi
    echo "quor: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # Another apt run (a second build on the machine) holds the lock for a while.
    local lock=(-o DPkg::Lock::Timeout=600)
    # A list that fails to download (a mirror in sync) leaves the others usable.
    apt-get "${lock[@]}" update -qq || echo "quor: apt-get update failed in part" >&2
    apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# POSIX message queues of more than 10 messages need fs.mqueue.msg_max; the
# test suite also opens many queues at once.
quor_raise_mqueue_limits() {
    local want_msgs=1024 want_queues=1024
    local msgs queues
    msgs=$(cat /proc/sys/fs/mqueue/msg_max 2>/dev/null || echo 0)
    queues=$(cat /proc/sys/fs/mqueue/queues_max 2>/dev/null || echo 0)
    if [ "$msgs" -ge "$want_msgs" ] && [ "$queues" -ge "$want_queues" ]; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "quor: fs.mqueue.msg_max=$msgs, queues_max=$queues; run as root to raise them" \
             "(tests that need large queues will skip)" >&2
        return 0
    fi
    [ "$msgs" -ge "$want_msgs" ] || sysctl -q -w fs.mqueue.msg_max=$want_msgs ||
        echo "quor: could not raise fs.mqueue.msg_max" >&2
    [ "$queues" -ge "$want_queues" ] || sysctl -q -w fs.mqueue.queues_max=$want_queues ||
        echo "quor: could not raise fs.mqueue.queues_max" >&2
    ulimit -q unlimited 2>/dev/null || true
}

quor_jobs() { nproc 2>/dev/null || echo 2; }

# Configures and builds into $2 with the extra CMake arguments that follow;
# arguments after -- go to the build (for example --target NAME).
quor_build() {
    local src=$1 dir=$2 configure=()
    shift 2
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        configure+=("$1")
        shift
    done
    [ $# -eq 0 ] || shift
    cmake -S "$src" -B "$dir" "${configure[@]}" >/dev/null
    cmake --build "$dir" -j "$(quor_jobs)" "$@"
}
