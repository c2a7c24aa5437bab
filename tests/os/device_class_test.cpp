#include "os/device_class.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/sysmacros.h>

#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// A sysfs tree of its own with the devices of typical machines: how each disk says what it is,
// under which bus it sits, and the layers (partitions, device-mapper) above the disks.
class FakeSysfs {
public:
    FakeSysfs() {
        const std::string ata = "pci0000:00/0000:00:1f.2/";
        const std::string hdd = ata + "ata1/host0/target0:0:0/0:0:0:0/block/sda";
        disk(hdd, "1", "sd", "ATA", "ST2000DM008-2FR1");
        fs::create_directories(root_.path() / "devices" / hdd / "sda1");
        root_.write("devices/" + hdd + "/sda1/partition", "1\n");
        number("8:0", hdd);
        number("8:1", hdd + "/sda1");
        const std::string ssd = ata + "ata2/host1/target1:0:0/1:0:0:0/block/sdb";
        disk(ssd, "0", "sd", "ATA", "Samsung SSD 870");
        number("8:16", ssd);
        const std::string virtioBlk = "pci0000:00/0000:00:02.0/virtio1/block/vda";
        disk(virtioBlk, "1", "virtio_blk");
        number("254:0", virtioBlk);
        const std::string qemuScsi =
            "pci0000:00/0000:00:03.0/virtio2/host2/target2:0:0/2:0:0:0/block/sdc";
        disk(qemuScsi, "1", "sd", "QEMU", "QEMU HARDDISK");
        number("8:32", qemuScsi);
        // QEMU's emulated SATA disk sits where a real one would and names its maker in capitals.
        const std::string qemuSata = ata + "ata3/host3/target3:0:0/3:0:0:0/block/sde";
        disk(qemuSata, "1", "sd", "ATA", "QEMU HARDDISK");
        number("8:64", qemuSata);
        const std::string nvme = "pci0000:00/0000:00:04.0/nvme/nvme0/nvme0n1";
        disk(nvme, "0", "", "", "", 2);
        number("259:0", nvme);
        const std::string usb =
            "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdd";
        disk(usb, "1", "sd", "WDC", "WD40EZRZ");
        number("8:48", usb);
        layer("dm-0", hdd + "/sda1", "sda1");
        number("253:0", "virtual/block/dm-0");
        layer("dm-1", nvme, "nvme0n1");
        number("253:1", "virtual/block/dm-1");
    }
    std::string root() const { return root_.path().string(); }

private:
    void disk(const std::string& where, const char* rotational, const std::string& driver,
              const std::string& vendor = "", const std::string& model = "", int queues = 1) {
        const fs::path folder = root_.path() / "devices" / where;
        root_.write("devices/" + where + "/queue/rotational", std::string(rotational) + "\n");
        fs::create_directories(folder / "device");
        if (!driver.empty()) {
            fs::create_directories(root_.path() / "bus/drivers" / driver);
            fs::create_directory_symlink(root_.path() / "bus/drivers" / driver,
                                         folder / "device/driver");
        }
        if (!vendor.empty()) {
            root_.write("devices/" + where + "/device/vendor", vendor + "\n");
            root_.write("devices/" + where + "/device/model", model + "\n");
        }
        for (int queue = 0; queue < queues; ++queue) {
            fs::create_directories(folder / "mq" / std::to_string(queue));
        }
    }
    // A device-mapper device over one disk or partition; its own rotational flag is the
    // kernel's default, not to be believed.
    void layer(const std::string& name, const std::string& under, const std::string& underName) {
        disk("virtual/block/" + name, "1", "");
        const fs::path slaves = root_.path() / "devices/virtual/block" / name / "slaves";
        fs::create_directories(slaves);
        fs::create_directory_symlink(root_.path() / "devices" / under, slaves / underName);
    }
    void number(const std::string& majorMinor, const std::string& where) {
        fs::create_directories(root_.path() / "dev/block");
        fs::create_directory_symlink(root_.path() / "devices" / where,
                                     root_.path() / "dev/block" / majorMinor);
    }

    ScratchFolder root_;
};

struct DeviceCase {
    const char* name;
    unsigned int major;
    unsigned int minor;
    DeviceKind kind;
};

class DeviceKindTest : public testing::TestWithParam<DeviceCase> {
protected:
    static void SetUpTestSuite() { sysfs_ = new FakeSysfs; }
    static void TearDownTestSuite() {
        delete sysfs_;
        sysfs_ = nullptr;
    }
    static FakeSysfs* sysfs_;
};
FakeSysfs* DeviceKindTest::sysfs_ = nullptr;

TEST_P(DeviceKindTest, FollowsTheDeviceToItsDisks) {
    const DeviceCase& c = GetParam();
    EXPECT_EQ(deviceKindOf(makedev(c.major, c.minor), sysfs_->root()), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, DeviceKindTest,
    testing::Values(DeviceCase{"SpinningDisk", 8, 0, DeviceKind::Rotational},
                    DeviceCase{"PartitionOfASpinningDisk", 8, 1, DeviceKind::Rotational},
                    DeviceCase{"SolidStateDisk", 8, 16, DeviceKind::Parallel},
                    DeviceCase{"VirtioDiskThatSaysRotational", 254, 0, DeviceKind::Parallel},
                    DeviceCase{"EmulatedScsiDisk", 8, 32, DeviceKind::Parallel},
                    DeviceCase{"EmulatedSataDisk", 8, 64, DeviceKind::Parallel},
                    DeviceCase{"Nvme", 259, 0, DeviceKind::Parallel},
                    DeviceCase{"UsbSpinningDisk", 8, 48, DeviceKind::Rotational},
                    DeviceCase{"MappedOverASpinningPartition", 253, 0, DeviceKind::Rotational},
                    DeviceCase{"MappedOverNvme", 253, 1, DeviceKind::Parallel},
                    DeviceCase{"NoDiskOfItsOwn", 0, 45, DeviceKind::Parallel},
                    DeviceCase{"UnknownNumber", 7, 99, DeviceKind::Parallel}),
    [](const testing::TestParamInfo<DeviceCase>& info) { return std::string(info.param.name); });

} // namespace
