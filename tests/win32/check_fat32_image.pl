#!/usr/bin/perl
# Checks the FAT32 system area that the program wrote onto a disk image, byte for byte, against
# the structures computed here from the image size, 64 sectors per cluster, 63 sectors per track,
# 255 heads, no hidden sectors and the volume serial number the status log reported.
#   check_fat32_image.pl IMAGE SERIAL_HEX
use strict;
use warnings;

my ($image, $serial_hex) = @ARGV;
die "usage: $0 IMAGE SERIAL_HEX\n" unless defined $serial_hex;
my $serial = hex($serial_hex);
my $total = int((-s $image) / 512);
my $spc = 64;
my $fat_size = int((($total - 32) * 4) / ($spc * 512 + 8)) + 1;
my $clusters = int(($total - 2 * $fat_size - 32) / $spc);

my $boot = "\0" x 512;
substr($boot, 0, 3) = "\xEB\x58\x90";
substr($boot, 3, 8) = "MSDOS5.0";
substr($boot, 11, 2) = pack("v", 512);
substr($boot, 13, 1) = pack("C", $spc);
substr($boot, 14, 2) = pack("v", 32);
substr($boot, 16, 1) = pack("C", 2);
substr($boot, 21, 1) = "\xF8";
substr($boot, 24, 2) = pack("v", 63);
substr($boot, 26, 2) = pack("v", 255);
substr($boot, 28, 4) = pack("V", 0);
substr($boot, 32, 4) = pack("V", $total);
substr($boot, 36, 4) = pack("V", $fat_size);
substr($boot, 44, 4) = pack("V", 2);
substr($boot, 48, 2) = pack("v", 1);
substr($boot, 50, 2) = pack("v", 6);
substr($boot, 64, 1) = "\x80";
substr($boot, 66, 1) = "\x29";
substr($boot, 67, 4) = pack("V", $serial);
substr($boot, 71, 11) = "PMP        ";
substr($boot, 82, 8) = "FAT32   ";
substr($boot, 510, 2) = "\x55\xAA";

my $fsinfo = "\0" x 512;
substr($fsinfo, 0, 4) = pack("V", 0x41615252);
substr($fsinfo, 484, 4) = pack("V", 0x61417272);
substr($fsinfo, 488, 4) = pack("V", $clusters - 1);
substr($fsinfo, 492, 4) = pack("V", 3);
substr($fsinfo, 508, 4) = pack("V", 0xAA550000);

my $fat_head = "\0" x 512;
substr($fat_head, 0, 12) = pack("VVV", 0x0FFFFFF8, 0x0FFFFFFF, 0x0FFFFFFF);
my $zero = "\0" x 512;

open(my $fh, "<:raw", $image) or die "cannot open $image: $!\n";
sub sector {
    my ($n) = @_;
    seek($fh, $n * 512, 0) or die;
    my $data = "";
    read($fh, $data, 512) == 512 or die "cannot read sector $n\n";
    return $data;
}

my $root = 32 + 2 * $fat_size;
my @expected = ([0, $boot, "boot sector"], [1, $fsinfo, "FSInfo sector"], [6, $boot, "backup boot sector"],
                [7, $fsinfo, "backup FSInfo sector"], [32, $fat_head, "first FAT head"],
                [32 + $fat_size, $fat_head, "second FAT head"]);
push @expected, map { [$_, $zero, "reserved sector $_"] } (2 .. 5, 8 .. 31);
push @expected, [33, $zero, "first FAT, second sector"], [31 + $fat_size, $zero, "first FAT, last sector"];
push @expected, [31 + 2 * $fat_size, $zero, "second FAT, last sector"];
push @expected, map { [$root + $_, $zero, "root directory sector $_"] } (0 .. $spc - 1);

my $failed = 0;
for my $case (@expected) {
    my ($n, $want, $name) = @$case;
    my $got = sector($n);
    next if $got eq $want;
    my $at = 0;
    $at++ while substr($got, $at, 1) eq substr($want, $at, 1);
    printf "FAIL: %s (sector %d) differs at byte %d: %02x instead of %02x\n", $name, $n, $at,
        ord(substr($got, $at, 1)), ord(substr($want, $at, 1));
    $failed = 1;
}
printf "%d sectors, FAT size %d, %d clusters, serial %08x: %s\n", $total, $fat_size, $clusters, $serial,
    $failed ? "MISMATCH" : "system area as expected";
exit $failed;
