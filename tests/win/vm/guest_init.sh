#!/bin/sh
# init of the test machine (installed as /sbin/lumarest-init): mounts what Wine
# needs, mounts the payload disk (the second virtio disk) on /payload, runs its
# run.sh there with the output on the serial console, and powers the machine
# off. Whatever run.sh writes under /payload is read back on the host.
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
# The initrd moves its /dev, /proc and /sys here; booted without one they are
# mounted now.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/shm
mount -t tmpfs shm /dev/shm
mount -t tmpfs tmp /tmp
mkdir -p /payload
if mount -t ext4 /dev/vdb /payload; then
    echo "lumarest-init: payload mounted"
    (cd /payload && sh ./run.sh </dev/null)
    echo "lumarest-init: run.sh ended with status $?"
    umount /payload || sync
else
    echo "lumarest-init: no payload disk"
fi
sync
echo "lumarest-init: power off"
echo o >/proc/sysrq-trigger
sleep 60
