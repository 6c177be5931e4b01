#include "sim/EmulatedBridge.h"

#include <sys/ioctl.h>

#include <linux/usbdevice_fs.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint8_t kIn = 0x82;
constexpr std::uint8_t kOut = 0x02;
constexpr std::uint8_t kProductIndex = 2;
constexpr std::uint8_t kSerialIndex = 3;
constexpr const char* kSerialDriver = "cp210x";

std::string Hex(const std::uint8_t* bytes, std::size_t length) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += pair;
    }
    return text;
}

// Device descriptor, then the one configuration: a vendor-class interface
// with a 64-byte bulk endpoint each way.
std::vector<std::uint8_t> Descriptors() {
    return {18,
            1,
            0x00,
            0x02,
            0,
            0,
            0,
            64,
            0xC4,
            0x10,
            0x61,
            0xEA,
            0x00,
            0x01,
            0,
            kProductIndex,
            kSerialIndex,
            1,
            9,
            2,
            32,
            0,
            1,
            1,
            0,
            0x80,
            50,
            9,
            4,
            0,
            0,
            2,
            0xFF,
            0,
            0,
            0,
            7,
            5,
            kIn,
            2,
            64,
            0,
            0,
            7,
            5,
            kOut,
            2,
            64,
            0,
            0};
}

std::string ThreeDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", value);
    return text;
}

template <typename T> T* Resolve(UMockdevIoctlData* argument, UMockdevIoctlData** owner) {
    *owner = umockdev_ioctl_data_resolve(argument, 0, sizeof(T), nullptr);
    return *owner != nullptr ? reinterpret_cast<T*>((*owner)->data) : nullptr;
}

usbdevfs_urb* Fields(UMockdevIoctlData* urb) {
    return reinterpret_cast<usbdevfs_urb*>(urb->data);
}

} // namespace

EmulatedBridge::EmulatedBridge(UMockdevTestbed* testbed, const Options& options)
    : options_(options), testbed_(testbed), handler_(umockdev_ioctl_base_new()) {
    const std::string bus = ThreeDigits(options.bus);
    const std::string address = ThreeDigits(options.address);
    const std::string name = std::to_string(options.bus) + "-" + options.port;
    node_ = "/dev/bus/usb/" + bus + "/" + address;
    std::string hex;
    for (std::uint8_t byte : Descriptors()) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    // sysfs values end in a newline, as the kernel writes them.
    const std::string description =
        "P: /devices/pci0000:00/usb" + std::to_string(options.bus) + "/" + name + "\n" +
        "N: bus/usb/" + bus + "/" + address + "\n" + "E: SUBSYSTEM=usb\n" + "E: DEVNAME=" + node_ +
        "\n" + "E: DEVTYPE=usb_device\n" + "E: BUSNUM=" + bus + "\n" + "E: DEVNUM=" + address +
        "\n" + "A: busnum=" + std::to_string(options.bus) + "\\n\n" +
        "A: devnum=" + std::to_string(options.address) + "\\n\n" + "A: speed=12\\n\n" +
        "A: idVendor=10c4\\n\n" + "A: idProduct=ea61\\n\n" + "A: serial=" + options.serial +
        "\\n\n" + "A: product=" + options.product + "\\n\n" + "A: bConfigurationValue=1\\n\n" +
        "H: descriptors=" + hex + "\n";
    umockdev_testbed_add_from_string(testbed_, description.c_str(), nullptr);
    sysPath_ = "/sys/devices/pci0000:00/usb" + std::to_string(options.bus) + "/" + name;
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    umockdev_testbed_attach_ioctl(testbed_, node_.c_str(), handler_, nullptr);
}

EmulatedBridge::~EmulatedBridge() {
    umockdev_testbed_detach_ioctl(testbed_, node_.c_str(), nullptr);
    g_object_unref(handler_);
}

void EmulatedBridge::SetBusy(bool busy) {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = busy;
}

void EmulatedBridge::StallOut(bool stall) {
    std::lock_guard<std::mutex> lock(mutex_);
    stallOut_ = stall;
}

void EmulatedBridge::UnplugAtRequest(int n) {
    std::lock_guard<std::mutex> lock(mutex_);
    unplugAt_ = n;
}

std::vector<std::string> EmulatedBridge::Log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

bool EmulatedBridge::DriverBound() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return driverBound_;
}

bool EmulatedBridge::DataPathEnabled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dataPath_;
}

void EmulatedBridge::Record(std::string line) {
    log_.push_back(std::move(line));
}

// Runs on umockdev's worker thread while the caller waits in ioctl().
gboolean EmulatedBridge::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto* bridge = static_cast<EmulatedBridge*>(self);
    int error = 0;
    long result = 0;
    {
        std::lock_guard<std::mutex> lock(bridge->mutex_);
        result = bridge->Handle(umockdev_ioctl_client_get_request(client),
                                umockdev_ioctl_client_get_arg(client), &error);
    }
    umockdev_ioctl_client_complete(client, result, error);
    return TRUE;
}

long EmulatedBridge::Handle(unsigned long request, UMockdevIoctlData* argument, int* error) {
    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        return Reap(argument, error);
    }
    if (unplugged_) {
        *error = ENODEV;
        return -1;
    }
    UMockdevIoctlData* owner = nullptr;
    long result = 0;
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        if (auto* caps = Resolve<std::uint32_t>(argument, &owner)) {
            *caps = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
        }
        break;
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: {
        // Both start with the interface number.
        auto* interface = Resolve<unsigned int>(argument, &owner);
        // A plain claim fails, as in the kernel, while the serial driver
        // still has the interface.
        if (busy_ || (request == USBDEVFS_CLAIMINTERFACE && driverBound_)) {
            *error = EBUSY;
            result = -1;
            break;
        }
        if (request == USBDEVFS_DISCONNECT_CLAIM && driverBound_) {
            driverBound_ = false;
            Record(std::string("detach ") + kSerialDriver);
        }
        Record("claim " + std::to_string(interface != nullptr ? *interface : 0));
        break;
    }
    case USBDEVFS_RELEASEINTERFACE:
        if (auto* interface = Resolve<unsigned int>(argument, &owner)) {
            Record("release " + std::to_string(*interface));
        }
        break;
    case USBDEVFS_GETDRIVER:
        if (auto* driver = Resolve<usbdevfs_getdriver>(argument, &owner);
            driver != nullptr && driverBound_) {
            std::snprintf(driver->driver, sizeof driver->driver, "%s", kSerialDriver);
        } else {
            *error = ENODATA;
            result = -1;
        }
        break;
    case USBDEVFS_IOCTL:
        if (auto* command = Resolve<usbdevfs_ioctl>(argument, &owner)) {
            if (command->ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
                driverBound_ = true;
                Record("attach");
            } else if (command->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT)) {
                driverBound_ = false;
                Record(std::string("detach ") + kSerialDriver);
            }
        }
        break;
    case USBDEVFS_SUBMITURB:
        return Submit(argument, error);
    case USBDEVFS_DISCARDURB:
        return Discard(argument, error);
    default:
        *error = ENOTTY;
        result = -1;
    }
    if (owner != nullptr) {
        g_object_unref(owner);
    }
    return result;
}

long EmulatedBridge::Submit(UMockdevIoctlData* argument, int* error) {
    UMockdevIoctlData* data =
        umockdev_ioctl_data_resolve(argument, 0, sizeof(usbdevfs_urb), nullptr);
    usbdevfs_urb* fields = Fields(data);
    UMockdevIoctlData* buffer =
        fields->buffer_length > 0
            ? umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                          static_cast<gsize>(fields->buffer_length), nullptr)
            : nullptr;
    Urb urb{data, buffer};
    if (fields->type == USBDEVFS_URB_TYPE_CONTROL) {
        const int result = Control(urb);
        Complete(urb, result < 0 ? result : 0, result < 0 ? 0 : result);
        return 0;
    }
    if (fields->type != USBDEVFS_URB_TYPE_BULK) {
        *error = EINVAL;
        return -1;
    }
    if ((fields->endpoint & 0x80) != 0) {
        Record("in " + std::to_string(fields->buffer_length));
        pendingIn_.push_back(urb);
        return 0;
    }
    if (!dataPath_) {
        // The bridge NAKs until its data path is enabled.
        pendingOut_.push_back(urb);
        return 0;
    }
    DeliverOut(urb);
    return 0;
}

bool EmulatedBridge::DeliverOut(Urb& urb) {
    const int length = Fields(urb.data)->buffer_length;
    const std::uint8_t* bytes = urb.buffer != nullptr ? urb.buffer->data : nullptr;
    Record("out " + Hex(bytes, static_cast<std::size_t>(length)));
    if (stallOut_) {
        Complete(urb, -EPIPE, 0);
        return false;
    }
    std::uint32_t written = 0;
    if (backend_.Write(backendHandle_, bytes, static_cast<std::uint32_t>(length), &written) !=
        kBridgeSuccess) {
        Complete(urb, -EPROTO, 0);
        return false;
    }
    Complete(urb, 0, length);
    if (unplugAt_ != 0 && ++requests_ == unplugAt_) {
        // Gone before it could answer: what was waiting ends as on a pulled
        // cable, and every later request finds no device.
        unplugged_ = true;
        Record("unplugged");
        for (Urb& pending : pendingIn_) {
            Complete(pending, -ESHUTDOWN, 0);
        }
        pendingIn_.clear();
    }
    return true;
}

int EmulatedBridge::Control(Urb& urb) {
    if (urb.buffer == nullptr || urb.buffer->data_len < 8) {
        return -EINVAL;
    }
    std::uint8_t* setup = urb.buffer->data;
    const std::uint8_t requestType = setup[0];
    const std::uint8_t request = setup[1];
    const std::uint16_t value = static_cast<std::uint16_t>(setup[2] | setup[3] << 8);
    const int length = setup[6] | setup[7] << 8;
    if (requestType == 0x40 && request == 0x02) {
        char action[8];
        std::snprintf(action, sizeof action, "%04X", value);
        Record(std::string("vendor ") + action);
        Vendor(value);
        return 0;
    }
    if (requestType == 0x80 && request == 0x06 && (value >> 8) == 3) {
        const int index = value & 0xFF;
        Record("string " + std::to_string(index));
        std::vector<std::uint8_t> descriptor;
        if (index == 0) {
            descriptor = {4, 3, 0x09, 0x04};
        } else if (index == kProductIndex || index == kSerialIndex) {
            const std::string& text = index == kSerialIndex ? options_.serial : options_.product;
            descriptor = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
            for (char c : text) {
                descriptor.push_back(static_cast<std::uint8_t>(c));
                descriptor.push_back(0);
            }
        } else {
            return -EPIPE;
        }
        const int count =
            std::min({length, static_cast<int>(descriptor.size()), urb.buffer->data_len - 8});
        std::memcpy(setup + 8, descriptor.data(), static_cast<std::size_t>(count));
        return count;
    }
    return -EPIPE;
}

void EmulatedBridge::Vendor(std::uint16_t action) {
    switch (action) {
    case 0x0002:
        if (!dataPath_) {
            std::uint32_t count = 0;
            backend_.GetNumDevices(&count);
            if (backend_.Open(0, &backendHandle_) != kBridgeSuccess) {
                backendHandle_ = kNoDevice;
            }
            dataPath_ = true;
            while (!pendingOut_.empty()) {
                Urb urb = pendingOut_.front();
                pendingOut_.pop_front();
                DeliverOut(urb);
            }
        }
        break;
    case 0x0004:
        if (dataPath_) {
            backend_.Close(backendHandle_);
            backendHandle_ = kNoDevice;
            dataPath_ = false;
        }
        break;
    case 0x0001:
        if (dataPath_) {
            backend_.FlushBuffers(backendHandle_, 1, 1);
        }
        break;
    default:
        break;
    }
}

void EmulatedBridge::FillPendingIns() {
    while (dataPath_ && !pendingIn_.empty()) {
        std::uint32_t waiting = 0;
        std::uint32_t queueStatus = 0;
        if (backend_.CheckRXQueue(backendHandle_, &waiting, &queueStatus) != kBridgeSuccess ||
            waiting == 0) {
            return;
        }
        Urb urb = pendingIn_.front();
        pendingIn_.pop_front();
        const std::uint32_t room = static_cast<std::uint32_t>(Fields(urb.data)->buffer_length);
        std::uint32_t got = 0;
        backend_.Read(backendHandle_, urb.buffer->data, std::min(waiting, room), &got);
        Complete(urb, 0, static_cast<int>(got));
    }
}

void EmulatedBridge::Complete(Urb urb, int status, int actualLength) {
    usbdevfs_urb* fields = Fields(urb.data);
    fields->status = status;
    fields->actual_length = actualLength;
    completed_.push_back(urb);
}

long EmulatedBridge::Reap(UMockdevIoctlData* argument, int* error) {
    FillPendingIns();
    if (completed_.empty()) {
        *error = unplugged_ ? ENODEV : EAGAIN;
        return -1;
    }
    Urb urb = completed_.front();
    completed_.pop_front();
    UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(argument, 0, sizeof(void*), nullptr);
    umockdev_ioctl_data_set_ptr(pointer, 0, urb.data);
    g_object_unref(pointer);
    g_object_unref(urb.data);
    if (urb.buffer != nullptr) {
        g_object_unref(urb.buffer);
    }
    return 0;
}

long EmulatedBridge::Discard(UMockdevIoctlData* argument, int* error) {
    const auto address = *reinterpret_cast<gulong*>(argument->data);
    for (auto* queue : {&pendingIn_, &pendingOut_}) {
        const auto found = std::find_if(queue->begin(), queue->end(), [address](const Urb& urb) {
            return urb.data->client_addr == address;
        });
        if (found != queue->end()) {
            Urb urb = *found;
            queue->erase(found);
            Record("discard");
            Complete(urb, -ENOENT, 0);
            return 0;
        }
    }
    *error = EINVAL;
    return -1;
}
