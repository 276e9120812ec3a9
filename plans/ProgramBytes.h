#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "plans/PlanTypes.h"

namespace quirn {

// The 968 raw program bytes read back from a time switch. Most locations of a fleet hold none
// (they read as zeros), so the bytes are stored only once something writes them: a record of
// a large fleet stays small, and loading one does not fill megabytes of zeros.
// Reading through a const object never stores anything.
class ProgramBytes {
  public:
    using Bytes = std::array<uint8_t, kProgramImageSize>;

    ProgramBytes() = default;
    ProgramBytes(const ProgramBytes& other)
        : bytes_(other.bytes_ ? std::make_unique<Bytes>(*other.bytes_) : nullptr) {}
    ProgramBytes& operator=(const ProgramBytes& other) {
        if (this != &other)
            bytes_ = other.bytes_ ? std::make_unique<Bytes>(*other.bytes_) : nullptr;
        return *this;
    }
    ProgramBytes(ProgramBytes&&) noexcept = default;
    ProgramBytes& operator=(ProgramBytes&&) noexcept = default;

    static constexpr std::size_t size() { return kProgramImageSize; }
    const uint8_t* data() const { return bytes_ ? bytes_->data() : zeros().data(); }
    uint8_t* data() { return stored().data(); }
    uint8_t operator[](std::size_t i) const { return data()[i]; }
    uint8_t& operator[](std::size_t i) { return stored()[i]; }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + size(); }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + size(); }
    void fill(uint8_t value) { stored().fill(value); }
    // Storage whose every byte the caller is about to overwrite (nothing is zeroed first).
    uint8_t* forOverwrite() {
        if (!bytes_) bytes_.reset(new Bytes);
        return bytes_->data();
    }
    // Back to all zeros, storing nothing.
    void clear() { bytes_.reset(); }
    bool isStored() const { return bytes_ != nullptr; }

  private:
    static const Bytes& zeros() {
        static const Bytes kZeros{};
        return kZeros;
    }
    Bytes& stored() {
        if (!bytes_) bytes_ = std::make_unique<Bytes>();
        return *bytes_;
    }
    std::unique_ptr<Bytes> bytes_;
};

}  // namespace quirn
