#include "driver/logic/device_access.h"

#include "common/core/driver_protocol.h"

namespace koral::logic {
namespace {

// The well-known groups of the access list: S-1-5-18, S-1-5-32-544, S-1-5-32-545.
struct WellKnownSid {
  uint8_t SubAuthorityCount;
  uint32_t SubAuthority[2];
};
constexpr WellKnownSid kLocalSystem{1, {18, 0}};
constexpr WellKnownSid kAdministrators{2, {32, 544}};
constexpr WellKnownSid kUsers{2, {32, 545}};

struct Entry {
  WellKnownSid Who;
  uint32_t Mask;
};
constexpr Entry kEntries[] = {{kLocalSystem, kFileAllAccess}, {kAdministrators, kFileAllAccess}, {kUsers, kFileGenericRead}};

constexpr uint8_t kSecurityDescriptorRevision = 1;
constexpr uint16_t kSelfRelative = 0x8000;
constexpr uint16_t kDaclProtected = 0x1000;
constexpr uint16_t kDaclPresent = 0x0004;
constexpr uint32_t kHeaderSize = 20;
constexpr uint8_t kAclRevision = 2;
constexpr uint32_t kAclHeaderSize = 8;
constexpr uint8_t kAccessAllowedAce = 0;
constexpr uint8_t kNtAuthority = 5;

class Writer {
 public:
  explicit Writer(uint8_t* out) : out_(out) {}
  void U8(uint8_t value) { out_[at_++] = value; }
  void U16(uint16_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
  }
  uint32_t At() const { return at_; }

 private:
  uint8_t* out_;
  uint32_t at_ = 0;
};

constexpr uint32_t SidSize(const WellKnownSid& sid) { return 8 + 4u * sid.SubAuthorityCount; }
constexpr uint32_t AceSize(const Entry& entry) { return 8 + SidSize(entry.Who); }

constexpr uint32_t AclSize() {
  uint32_t size = kAclHeaderSize;
  for (const Entry& entry : kEntries) size += AceSize(entry);
  return size;
}
static_assert(kHeaderSize + AclSize() == kDeviceSecuritySize);

}  // namespace

uint32_t BuildDeviceSecurity(uint8_t* out, uint32_t capacity) {
  if (out == nullptr || capacity < kDeviceSecuritySize) return 0;
  Writer w(out);
  // Header: revision, padding, control; offsets of owner, group, system list (none) and access list.
  w.U8(kSecurityDescriptorRevision);
  w.U8(0);
  w.U16(kSelfRelative | kDaclProtected | kDaclPresent);
  w.U32(0);
  w.U32(0);
  w.U32(0);
  w.U32(kHeaderSize);
  // The access list.
  w.U8(kAclRevision);
  w.U8(0);
  w.U16(static_cast<uint16_t>(AclSize()));
  w.U16(static_cast<uint16_t>(sizeof kEntries / sizeof kEntries[0]));
  w.U16(0);
  for (const Entry& entry : kEntries) {
    w.U8(kAccessAllowedAce);
    w.U8(0);  // no inheritance flags: a device has nothing below it
    w.U16(static_cast<uint16_t>(AceSize(entry)));
    w.U32(entry.Mask);
    // The SID: revision 1, its sub-authorities, the NT authority (6 bytes, big-endian), them.
    w.U8(1);
    w.U8(entry.Who.SubAuthorityCount);
    for (int i = 0; i < 5; ++i) w.U8(0);
    w.U8(kNtAuthority);
    for (uint8_t i = 0; i < entry.Who.SubAuthorityCount; ++i) w.U32(entry.Who.SubAuthority[i]);
  }
  return w.At();
}

bool IsSimulationCode(uint32_t code) {
  switch (code) {
    case kSimLoadBlock:
    case kSimPushSample:
    case kSimReadJournal:
    case kSimRightClickDone:
    case kSimSetCompanionSlot:
    case kSimReset:
      return true;
    default:
      return false;
  }
}

bool Permits(uint32_t code, Opener opener) { return !IsSimulationCode(code) || opener != Opener::kOther; }

}  // namespace koral::logic
