// A 32-bit Windows DLL read as a file: headers, sections, exports, imports,
// base relocations and resources, with every offset checked against the file.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/layouts/layout_reader.h"

namespace layout_test {

struct PeSection {
  std::string name;
  uint32_t virtual_address = 0;
  uint32_t virtual_size = 0;
  uint32_t raw_offset = 0;
  uint32_t raw_size = 0;
  uint32_t characteristics = 0;
};

struct PeDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

struct PeExport {
  std::string name;  // empty when exported by ordinal only
  uint32_t ordinal = 0;
  uint32_t rva = 0;
};

struct PeResource {
  uint32_t type = 0;
  uint32_t id = 0;
  uint32_t language = 0;
  std::vector<uint8_t> data;
};

// Directory indexes of the optional header.
enum PeDirectoryIndex : unsigned {
  kExportDirectory = 0,
  kImportDirectory = 1,
  kResourceDirectory = 2,
  kRelocationDirectory = 5,
  kBoundImportDirectory = 11,
  kImportAddressDirectory = 12,
  kDelayImportDirectory = 13,
};

// Addresses given to Read are virtual addresses at the image's base.
class PeImage : public ImageMemory {
 public:
  // Throw std::runtime_error when the file cannot be read or is no PE32 image.
  static PeImage Load(const std::string& path);
  explicit PeImage(std::vector<uint8_t> file);

  size_t file_size() const { return file_.size(); }
  uint16_t machine() const { return machine_; }
  uint16_t characteristics() const { return characteristics_; }
  uint16_t magic() const { return magic_; }
  uint32_t entry_point() const { return entry_point_; }
  uint32_t image_base() const { return image_base_; }
  uint16_t subsystem() const { return subsystem_; }
  const std::vector<PeSection>& sections() const { return sections_; }
  PeDirectory directory(unsigned index) const { return directories_.at(index); }

  std::string ExportedDllName() const;
  std::vector<PeExport> Exports() const;
  std::vector<std::string> ImportedDlls() const;
  // Fixups by the RVA they patch, with their relocation type.
  std::map<uint32_t, unsigned> Relocations() const;
  std::vector<PeResource> Resources() const;
  // The image loaded at `base` instead: every 32-bit fixup moved by the difference.
  PeImage Rebased(uint32_t base) const;

  bool ReadRva(uint32_t rva, void* out, size_t size) const;
  unsigned PointerSize() const override { return 4; }
  bool Read(uint64_t address, void* out, size_t size) const override;

 private:
  template <typename T>
  T FileAt(uint64_t offset) const;
  template <typename T>
  T RvaAt(uint32_t rva) const;
  std::string AsciiAt(uint32_t rva) const;
  void ParseHeaders();

  std::vector<uint8_t> file_;
  uint16_t machine_ = 0, characteristics_ = 0, magic_ = 0, subsystem_ = 0;
  uint32_t entry_point_ = 0, image_base_ = 0, size_of_headers_ = 0;
  std::array<PeDirectory, 16> directories_{};
  std::vector<PeSection> sections_;
};

// A VS_VERSIONINFO resource.
struct VersionInfo {
  std::array<uint32_t, 13> fixed{};  // VS_FIXEDFILEINFO, signature first
  std::map<std::string, std::map<std::string, std::u16string>> strings;  // block, key, value
  std::vector<std::pair<uint16_t, uint16_t>> translations;               // language, code page
};
// Throws std::runtime_error when the resource is malformed.
VersionInfo ParseVersionInfo(const std::vector<uint8_t>& data);

}  // namespace layout_test
