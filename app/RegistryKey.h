// An open registry key, closed when the object goes.
#pragma once
#include <windows.h>

#include <cstdint>

class RegistryKey {
 public:
  RegistryKey(HKEY root, const char* path, REGSAM access) {
    openError_ = RegOpenKeyExA(root, path, 0, access, &key_);
    if (openError_ != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool IsOpen() const { return key_ != nullptr; }
  LONG OpenError() const { return openError_; }

  // Reads up to four bytes of any type over `value`; data that is longer or
  // missing leaves `value` as it was. Returns the query's status.
  LONG ReadFourBytes(const char* name, uint32_t& value, DWORD* type = nullptr) const {
    uint32_t data = value;
    DWORD size = sizeof data;
    DWORD storedType = REG_NONE;
    const LONG status =
        RegQueryValueExA(key_, name, nullptr, &storedType, reinterpret_cast<BYTE*>(&data), &size);
    if (type != nullptr) *type = storedType;
    if (status == ERROR_SUCCESS) value = data;
    return status;
  }
  LONG ReadFourBytes(const char* name, int32_t& value, DWORD* type = nullptr) const {
    uint32_t raw = static_cast<uint32_t>(value);
    const LONG status = ReadFourBytes(name, raw, type);
    value = static_cast<int32_t>(raw);
    return status;
  }
  // A REG_DWORD value only: anything else leaves `value` as it was.
  bool ReadDword(const char* name, uint32_t& value) const {
    uint32_t data = 0;
    DWORD type = REG_NONE;
    if (ReadFourBytes(name, data, &type) != ERROR_SUCCESS || type != REG_DWORD) return false;
    value = data;
    return true;
  }
  LONG WriteDword(const char* name, uint32_t value) const {
    return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
  }

 private:
  HKEY key_ = nullptr;
  LONG openError_ = ERROR_SUCCESS;
};
