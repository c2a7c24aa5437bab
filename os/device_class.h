#pragma once

#include <cstdint>
#include <string>

/// How a block device takes many reads at once.
enum class DeviceKind {
    /// Solid-state, virtual, network or unknown: many reads in flight keep it busy.
    Parallel,
    /// A spinning disk: reads from several places at once make its head seek to and fro.
    Rotational,
};

/// The kind of the device that holds a file system, given as a stat's st_dev. The sysfs entry of
/// the device is followed to the disks under it (a partition to its disk, a device-mapper or RAID
/// device to every disk it is made of, a loop device to the device of its backing file); one
/// spinning disk among them makes the whole rotational. A disk's own `queue/rotational` is not
/// believed alone: virtual disks (virtio, Xen, Hyper-V, emulated SCSI) report 1 by default
/// whatever backs them, so they, disks with several hardware queues and solid-state kinds
/// (NVMe, MMC, zram, persistent memory) count as parallel. File systems without a disk of their
/// own (tmpfs, overlay, network, btrfs) and anything that cannot be looked at are parallel too.
/// sysfsRoot is where sysfs is mounted; a test passes a tree of its own.
DeviceKind deviceKindOf(std::uint64_t device, const std::string& sysfsRoot = "/sys");

/// Whether the file open as fd is on a file system that keeps its files on a local disk (ext4,
/// XFS, btrfs, FAT, ...). Such a file system answers a read of a regular file in full but at
/// its end, and tells a file's size as it stands. Others may not: FUSE answers in part and then
/// changes the size it tells, and the kernel's own retry of a read answered in part through
/// io_uring has been seen to read again from the read's start.
bool onLocalDiskFileSystem(int fd);
