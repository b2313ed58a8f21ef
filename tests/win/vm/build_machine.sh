#!/bin/sh
# Builds the emulated machine that runs the 32-bit LumarestTC.exe in the
# tests: x86-64 Debian bookworm with 32- and 64-bit Wine, booted by boot.sh.
#
#   build_machine.sh DIR
#
# leaves in DIR: disk.img (ext4, 10 GB sparse, with a 64-bit Wine prefix in
# /root/.wine already made by `wineboot -u`), vmlinuz, initrd.img, and the
# stamp "ready", written last. A folder whose stamp matches this script and
# the machine's init is left as it is; anything else is built afresh (5 to 20
# minutes on 2 cores, with the load: the packages, then one boot to make the
# Wine prefix, which takes 2 to 12 minutes on the software CPU).
#
# Needs root (debootstrap, chroot; sudo -n is tried) and a Debian mirror:
# LUMAREST_VM_MIRROR, else the one apt on this machine is configured with.
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
dir=$(cd "$1" && pwd)
version=$(cat "$here/build_machine.sh" "$here/guest_init.sh" | sha256sum | cut -d' ' -f1)

# One builder at a time per folder; a second one waits and then finds it ready.
exec 9>"$dir/lock"
flock 9
if [ "$(cat "$dir/ready" 2>/dev/null)" = "$version" ]; then
    echo "build_machine.sh: the machine in $dir is ready"
    exit 0
fi
rm -f "$dir/ready" "$dir/disk.img" "$dir/vmlinuz" "$dir/initrd.img"

sudo=""
if [ "$(id -u)" != 0 ]; then
    if ! sudo -n true 2>/dev/null; then
        echo "build_machine.sh: building the machine needs root (debootstrap, chroot)" >&2
        exit 1
    fi
    sudo="sudo -n"
fi
for tool in debootstrap mke2fs qemu-system-x86_64 debugfs; do
    if ! PATH="$PATH:/usr/sbin:/sbin" command -v "$tool" >/dev/null; then
        echo "build_machine.sh: $tool is not installed" >&2
        exit 1
    fi
done

# The Debian archive apt uses here: the first deb source whose suites are not
# security updates, from deb822 .sources files or one-line .list files.
debian_mirror() {
    if [ -n "${LUMAREST_VM_MIRROR:-}" ]; then
        echo "$LUMAREST_VM_MIRROR"
        return
    fi
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
             {
                 types = ""; uris = ""; suites = ""; enabled = "yes"
                 for (i = 1; i <= NF; i++) {
                     if ($i ~ /^#/) continue
                     split($i, kv, ":[ \t]*")
                     key = tolower(kv[1]); value = substr($i, length(kv[1]) + 2)
                     sub(/^[ \t]+/, "", value)
                     if (key == "types") types = value
                     else if (key == "uris") uris = value
                     else if (key == "suites") suites = value
                     else if (key == "enabled") enabled = tolower(value)
                 }
                 if (enabled != "no" && types ~ /(^| )deb( |$)/ && suites !~ /security/ && uris != "") {
                     split(uris, u, " "); print u[1]; exit
                 }
             }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" {
                 i = 2
                 if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                 if ($(i + 1) !~ /security/) { print $i; exit }
             }' "$file"
    done
}
mirror=$(debian_mirror | head -n 1)
if [ -z "$mirror" ]; then
    echo "build_machine.sh: no Debian mirror in the apt sources; set LUMAREST_VM_MIRROR" >&2
    exit 1
fi

work="$dir/building"
root="$work/root"
cleanup() {
    $sudo umount "$root/proc" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM  # so that a killed build still unmounts
cleanup
$sudo rm -rf "$work"
mkdir -p "$work"

started=$(date +%s)
step() {
    echo "build_machine.sh: [$(($(date +%s) - started)) s] $*"
}

step "debootstrap bookworm from $mirror"
$sudo debootstrap --variant=minbase --include=systemd-sysv,udev,e2fsprogs \
    bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 || {
    tail -n 30 "$work/debootstrap.log" >&2
    echo "build_machine.sh: debootstrap failed (is $mirror reachable?)" >&2
    exit 1
}

step "installing the kernel and Wine (32- and 64-bit)"
$sudo mount -t proc proc "$root/proc"
$sudo chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive /bin/sh -ec '
        dpkg --add-architecture i386
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends \
            linux-image-amd64 wine wine32 wine64 libwine:i386
        apt-get clean' >"$work/install.log" 2>&1 || {
    tail -n 30 "$work/install.log" >&2
    echo "build_machine.sh: installing the packages failed" >&2
    exit 1
}
$sudo umount "$root/proc"
$sudo install -m 755 "$here/guest_init.sh" "$root/sbin/lumarest-init"
# The kernel image is readable by root alone; the boots need not be root.
$sudo sh -c "cat '$root'/boot/vmlinuz-* >'$work/vmlinuz' && cat '$root'/boot/initrd.img-* >'$work/initrd.img'"
$sudo chown "$(id -u):$(id -g)" "$work/vmlinuz" "$work/initrd.img"

step "making the 10 GB disk image"
# 4 GB is too small once the Wine prefix is made.
: >"$work/disk.img"
$sudo mke2fs -q -t ext4 -L lumarest -d "$root" "$work/disk.img" 10G
$sudo chown "$(id -u):$(id -g)" "$work/disk.img"
$sudo rm -rf "$root"

step "first boot: making the Wine prefix (wineboot -u)"
mkdir -p "$work/prepare"
cat >"$work/prepare/run.sh" <<'EOF'
export WINEPREFIX=/root/.wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "uptime before wineboot: $(cut -d' ' -f1 /proc/uptime) s"
/usr/lib/wine/wine64 wineboot -u
/usr/lib/wine/wineserver -w
echo "uptime after wineboot: $(cut -d' ' -f1 /proc/uptime) s"
if [ -d /root/.wine/drive_c/windows/syswow64 ] && [ -f /root/.wine/system.reg ]; then
    echo ready >wine-prefix
fi
EOF
"$here/boot.sh" --persist "$work" "$work/prepare" "$work/prepared" 2700
if [ ! -f "$work/prepared/payload/wine-prefix" ]; then
    tail -n 40 "$work/prepared/console.log" >&2
    echo "build_machine.sh: the first boot did not make the Wine prefix" >&2
    exit 1
fi

mv "$work/disk.img" "$work/vmlinuz" "$work/initrd.img" "$dir/"
mv "$work/prepared/console.log" "$dir/first-boot.log"
rm -rf "$work"
echo "$version" >"$dir/ready"
step "the machine is ready in $dir"
