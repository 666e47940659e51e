#!/usr/bin/env bash
# Runs a command inside Debian's own kernel under QEMU (TCG, no KVM needed),
# where ALSA's sequencer is loaded with a MIDI Through port (snd-seq-dummy)
# and a virtual raw MIDI device (snd-virmidi) that plays like a keyboard.
# This machine's root is the VM's root, read-only over 9p; OUTDIR is shared
# writable at the same path. The command's exit status comes back over the
# serial console.
#   run_in_vm.sh OUTDIR COMMAND [ARGS...]
# The kernel package is downloaded once into SORAMINA_VM_CACHE (default
# ~/.cache/soramina-vm). Exits 77 (skipped) only where QEMU cannot run.
set -euo pipefail
skip=77
out=$(realpath "$1")
shift
cache=${SORAMINA_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/soramina-vm}

for tool in qemu-system-x86_64 busybox cpio depmod modprobe; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
        exit $skip
    fi
done

# The kernel that Debian's linux-image-amd64 stands for, prepared once.
mkdir -p "$cache" "$out"
exec 9>"$cache/lock"
flock 9
package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
kernel=${package#linux-image-}
tree=$cache/$kernel
if [ ! -e "$tree/prepared" ]; then
    if ! compgen -G "$cache/${package}_*.deb" >/dev/null; then
        if ! (cd "$cache" && apt-get download "$package"); then
            echo "SKIP: the kernel package $package cannot be downloaded"
            exit $skip
        fi
    fi
    rm -rf "$tree"
    dpkg -x "$(compgen -G "$cache/${package}_*.deb" | head -n 1)" "$tree"
    depmod -b "$tree" "$kernel"
    touch "$tree/prepared"
fi
flock -u 9

# The initial RAM disk: a static busybox, the modules in load order, and an
# init that mounts this machine's root and runs the command chrooted in it.
initrd=$(mktemp -d)
trap 'rm -rf "$initrd"' EXIT
mkdir -p "$initrd"/{bin,modules,proc,sys,dev,root}
cp "$(command -v busybox)" "$initrd/bin/busybox"
for module in virtio_pci 9pnet_virtio 9p snd-seq-dummy snd-virmidi; do
    modprobe -d "$tree" -S "$kernel" --show-depends "$module" | while read -r _ file _; do
        name=$(basename "$file")
        if [ ! -e "$initrd/modules/$name" ]; then
            cp "$file" "$initrd/modules/$name"
            echo "$name" >>"$initrd/modules/order"
        fi
    done
done
# One virtual raw MIDI device: hw:0,0.
sed -i 's/^snd-virmidi.ko$/& midi_devs=1/' "$initrd/modules/order"

# The VM's /tmp is its own; a checkout or a working directory under this
# machine's /tmp (as on CI) is bound back into it.
keep=
for path in "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)" "$PWD"; do
    case $path in
    /tmp/*) keep+=" $(printf %q "$path")" ;;
    esac
done

{
    echo "cd $(printf %q "$PWD") || exit 1"
    echo "export PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin HOME=/tmp/home LANG=C.UTF-8"
    env | { grep -E '^(SORAMINA_|QT_|ASAN_|UBSAN_|LSAN_)' || true; } | while IFS='=' read -r name value; do
        echo "export $name=$(printf %q "$value")"
    done
    echo "mkdir -p /tmp/home"
    printf '%q ' "$@"
    echo
} >"$initrd/job"

cat >"$initrd/init" <<INIT
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
while read -r module options; do
    insmod /modules/\$module \$options || echo "insmod \$module failed"
done </modules/order
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144 hostroot /root
mount -t proc proc /root/proc
mount -t sysfs sys /root/sys
mount -t devtmpfs dev /root/dev
mkdir -p /root/dev/shm /root/dev/pts
mount -t tmpfs shm /root/dev/shm
mount -t devpts pts /root/dev/pts
mkdir -p /hosttmp
mount -o bind /root/tmp /hosttmp
mount -t tmpfs tmp /root/tmp
for path in$keep; do
    mkdir -p /root\$path
    mount -o bind /hosttmp\${path#/tmp} /root\$path
done
mount -t tmpfs run /root/run
mkdir -p /root$(printf %q "$out")
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 vmout /root$(printf %q "$out")
cp /job /root/tmp/job
chroot /root /bin/sh /tmp/job
echo "SORAMINA-VM-STATUS \$?"
sync
poweroff -f
INIT
chmod +x "$initrd/init"
(cd "$initrd" && find . | cpio -o -H newc --quiet) >"$out/initrd.cpio"

log=$out/console.log
timeout 900 qemu-system-x86_64 -accel tcg -cpu max -smp 2 -m 1536 \
    -display none -monitor none -serial stdio -no-reboot \
    -kernel "$tree/boot/vmlinuz-$kernel" -initrd "$out/initrd.cpio" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1" \
    -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
    -fsdev "local,id=vmout,path=$out,security_model=none" \
    -device virtio-9p-pci,fsdev=vmout,mount_tag=vmout \
    </dev/null | tee "$log"
rm -f "$out/initrd.cpio"
status=$(tr -d '\r' <"$log" | awk '/^SORAMINA-VM-STATUS / { print $2 }')
if [ -z "$status" ]; then
    echo "the VM ended without the command's status"
    exit 1
fi
exit "$status"
