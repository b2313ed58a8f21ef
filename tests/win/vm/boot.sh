#!/bin/sh
# Boots the test machine once with a payload and brings the payload back.
#
#   boot.sh [--persist] MACHINE PAYLOAD OUT SECONDS
#
# MACHINE is a folder with disk.img, vmlinuz and initrd.img (build_machine.sh).
# PAYLOAD is a folder whose run.sh the machine's init runs from inside it;
# it becomes an ext4 disk (with room to spare for what run.sh writes). After
# the machine has powered off, OUT holds console.log (the serial console) and
# payload/ (the payload disk as the machine left it).
#
# The machine's own disk is used as a snapshot: nothing a boot does reaches
# disk.img, unless --persist is given (the builder's one boot that prepares
# Wine). A boot that has not powered off within SECONDS is killed and fails.
#
# The processor is QEMU's qemu64 with the extensions Wine's 32-bit code needs
# (SSSE3 to SSE4.2, POPCNT); "-cpu max" makes Wine crash under the software
# CPU. LUMAREST_VM_ACCEL replaces QEMU's software CPU ("tcg,thread=multi"),
# e.g. with "kvm" where nested KVM passes those extensions on (on some hosts it
# offers none of them and the kernel hangs early in the boot).
set -eu

persist=false
if [ "${1:-}" = --persist ]; then
    persist=true
    shift
fi
if [ $# -ne 4 ]; then
    echo "usage: $0 [--persist] MACHINE PAYLOAD OUT SECONDS" >&2
    exit 2
fi
machine=$1 payload=$2 out=$3 seconds=$4

for file in disk.img vmlinuz initrd.img; do
    if [ ! -f "$machine/$file" ]; then
        echo "boot.sh: $machine/$file is missing" >&2
        exit 1
    fi
done
if [ ! -f "$payload/run.sh" ]; then
    echo "boot.sh: $payload/run.sh is missing" >&2
    exit 1
fi

rm -rf "$out"
mkdir -p "$out/payload"
used_kib=$(du -sk "$payload" | cut -f1)
payload_img="$out/payload.img"
: >"$payload_img"
mke2fs -q -t ext4 -E root_owner=0:0 -d "$payload" "$payload_img" "$((used_kib * 2 + 262144))k"

accel=${LUMAREST_VM_ACCEL:-tcg,thread=multi}
snapshot=on
if $persist; then snapshot=off; fi

echo "boot.sh: booting (accel $accel, at most $seconds s)"
started=$(date +%s)
status=0
timeout -k 10 "$seconds" qemu-system-x86_64 \
    -accel "$accel" -cpu qemu64,+ssse3,+sse4.1,+sse4.2,+popcnt -smp 2 -m 3072 \
    -display none -monitor none -serial "file:$out/console.log" -nic none -no-reboot \
    -kernel "$machine/vmlinuz" -initrd "$machine/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/sbin/lumarest-init quiet panic=-1" \
    -drive "file=$machine/disk.img,format=raw,if=virtio,snapshot=$snapshot" \
    -drive "file=$payload_img,format=raw,if=virtio" </dev/null || status=$?
echo "boot.sh: machine stopped after $(($(date +%s) - started)) s"
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "boot.sh: the machine did not power off within $seconds s" >&2
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "boot.sh: qemu-system-x86_64 failed with status $status" >&2
    exit 1
fi
if ! grep -q "lumarest-init: run.sh ended" "$out/console.log"; then
    echo "boot.sh: the payload did not run; console:" >&2
    tail -n 40 "$out/console.log" >&2
    exit 1
fi
debugfs -R "rdump / $out/payload" "$payload_img" 2>/dev/null
rm -f "$payload_img"
