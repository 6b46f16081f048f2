# A Linux guest under QEMU for the kernel tests (sourced, bash): the host's own Debian kernel, an
# initramfs with busybox, the block, USB-storage and FAT modules and tolvenformat with its
# libraries, and a case script the guest runs before it powers off. QEMU emulates the machine
# (TCG): no acceleration is needed.
#   guest_dir   where the kernel's initramfs is kept between cases of one build
#   serial      the guest's console, written by boot_guest

guest_modules="virtio_pci virtio_blk xhci_pci usb_storage uas sd_mod vfat nls_cp437 nls_ascii nls_utf8"

# The newest kernel of the host with its modules; empty when there is none.
guest_kernel() {
    local kernel version
    for kernel in $(ls -v /boot/vmlinuz-* 2>/dev/null | sort -rV); do
        version=${kernel#/boot/vmlinuz-}
        [ -r "$kernel" ] && [ -d "/lib/modules/$version" ] && { echo "$kernel"; return; }
    done
}

# Builds $guest_dir/base.cpio.gz: busybox, the modules in load order, PROGRAM and its libraries.
make_guest() {
    local program=$1 kernel version root lib module count=0
    kernel=$(guest_kernel)
    version=${kernel#/boot/vmlinuz-}
    root=$guest_dir/root
    rm -rf "$root"
    mkdir -p "$root"/{bin,dev,proc,sys,mnt,tmp,lib/modules,lib64,results}
    cp /bin/busybox "$root/bin/"
    cp "$program" "$root/bin/tolvenformat"
    for lib in $(ldd "$program" | grep -o '/[^ ]*'); do
        mkdir -p "$root$(dirname "$lib")"
        cp -L "$lib" "$root$lib"
    done
    : >"$root/modules.order"
    for module in $(for m in $guest_modules; do modprobe -S "$version" --show-depends "$m"; done |
        awk '$1 == "insmod" && !seen[$2]++ {print $2}'); do
        count=$((count + 1))
        case $module in
            *.ko.xz) xz -dc "$module" >"$root/lib/modules/$count.ko" ;;
            *.ko.zst) zstd -qdc "$module" >"$root/lib/modules/$count.ko" ;;
            *) cp "$module" "$root/lib/modules/$count.ko" ;;
        esac
        echo "$count.ko" >>"$root/modules.order"
    done
    cat >"$root/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for m in $(cat /modules.order); do insmod "/lib/modules/$m" 2>/dev/null; done
# The disks the case waits for: USB ones appear a moment after their host controller.
for i in $(seq 100); do
    ready=1
    for disk in $(cat /disks 2>/dev/null); do [ -e "/sys/class/block/$disk" ] || ready=0; done
    [ $ready = 1 ] && break
    sleep 0.1
done
echo "GUEST-UP $(cut -d' ' -f1 /proc/uptime)"
sh /case.sh
echo "GUEST-DONE"
poweroff -f
INIT
    chmod +x "$root/init"
    (cd "$root" && find . | cpio -o -H newc 2>/dev/null | gzip -1) >"$guest_dir/base.cpio.gz"
    echo "$kernel" >"$guest_dir/kernel"
}

# Boots the guest with CASE_SCRIPT as /case.sh, waiting for the disks named (sda, vda, ...), and
# the QEMU options that follow. The console goes to $serial. Returns QEMU's status.
boot_guest() {
    local script=$1 disks=$2 extra
    shift 2
    extra=$guest_dir/extra
    rm -rf "$extra"
    mkdir -p "$extra"
    cp "$script" "$extra/case.sh"
    echo "$disks" >"$extra/disks"
    (cd "$extra" && printf 'case.sh\ndisks\n' | cpio -o -H newc 2>/dev/null | gzip -1) >"$guest_dir/case.cpio.gz"
    # Two archives, one after the other: the kernel unpacks both.
    cat "$guest_dir/base.cpio.gz" "$guest_dir/case.cpio.gz" >"$guest_dir/initrd.gz"
    timeout 300 qemu-system-x86_64 -accel tcg -m 1024 -nographic -no-reboot -net none \
        -kernel "$(cat "$guest_dir/kernel")" -initrd "$guest_dir/initrd.gz" \
        -append "console=ttyS0 quiet panic=-1" -device qemu-xhci "$@" >"$serial" 2>&1 </dev/null
}

# The value a case script printed as "RESULT KEY VALUE".
guest_result() {
    tr -d '\r' <"$serial" | awk -v key="$1" '$1 == "RESULT" && $2 == key {print $3; exit}'
}

# QEMU options for a USB disk on the xHCI controller: usb_disk ID IMAGE VENDOR PRODUCT [bot|uas] [DRIVE_OPTIONS]
usb_disk() {
    local id=$1 image=$2 vendor=$3 product=$4 kind=${5:-bot} options=${6:-}
    local bus=$id.0
    if [ "$kind" = uas ]; then
        echo "-device usb-uas,id=$id -drive if=none,id=d$id,file=$image,format=raw$options" \
            "-device scsi-hd,bus=$bus,drive=d$id,vendor=$vendor,product=$product"
    else
        echo "-device usb-bot,id=$id -drive if=none,id=d$id,file=$image,format=raw$options" \
            "-device scsi-hd,bus=$bus,drive=d$id,vendor=$vendor,product=$product"
    fi
}
