// The Windows layout DLLs read as files: a data-only native DLL with one
// export, relocations and a version resource, whose tables equal the Linux
// library's cell for cell.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

#include "tests/layouts/expected_layouts.h"
#include "tests/layouts/layout_reader.h"
#include "tests/layouts/loaded_library.h"
#include "tests/layouts/pe_image.h"

namespace layout_test {
namespace {

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kFileExecutable = 0x0002, kFile32Bit = 0x0100, kFileDll = 0x2000;
constexpr uint16_t kSubsystemNative = 1;
constexpr uint32_t kSectionExecute = 0x20000000;
constexpr uint32_t kResourceVersion = 16;

class LayoutDll : public testing::TestWithParam<ExpectedLayout> {
 protected:
  void SetUp() override {
    const std::string path = Win32KitFile(layout().name + ".dll");
    if (path.empty())
      GTEST_SKIP() << "the Windows DLLs are not built (no mingw-w64 cross compiler)";
    try {
      dll_.emplace(PeImage::Load(path));
    } catch (const std::exception& e) {
      FAIL() << path << ": " << e.what();
    }
  }
  const ExpectedLayout& layout() const { return GetParam(); }

  // KbdLayerDescriptor is `mov eax, offset KbdTables` then `ret`: the
  // address of the record, read from the code without running it.
  uint32_t TablesAddress(const PeImage& image) const {
    const std::vector<PeExport> exports = image.Exports();
    if (exports.size() != 1) throw std::runtime_error("not one export");
    uint8_t code[6];
    if (!image.ReadRva(exports[0].rva, code, sizeof code) || code[0] != 0xB8 || code[5] != 0xC3) {
      throw std::runtime_error("KbdLayerDescriptor does more than return an address");
    }
    uint32_t address;
    std::memcpy(&address, code + 1, 4);
    return address;
  }

  std::optional<PeImage> dll_;
};

TEST_P(LayoutDll, NativeDllWithoutEntryPointOrImports) {
  EXPECT_EQ(dll_->machine(), kMachineI386);
  EXPECT_EQ(dll_->magic(), 0x10B);
  EXPECT_EQ(dll_->characteristics() & (kFileExecutable | kFile32Bit | kFileDll),
            kFileExecutable | kFile32Bit | kFileDll);
  EXPECT_EQ(dll_->subsystem(), kSubsystemNative);
  EXPECT_EQ(dll_->entry_point(), 0u);
  EXPECT_TRUE(dll_->ImportedDlls().empty());
  for (unsigned index :
       {kImportDirectory, kBoundImportDirectory, kImportAddressDirectory, kDelayImportDirectory}) {
    EXPECT_EQ(dll_->directory(index).rva, 0u) << "directory " << index;
  }
  EXPECT_LE(dll_->file_size(), 8192u);
}

TEST_P(LayoutDll, ExportsTheDescriptorByNameAtOrdinalOne) {
  EXPECT_EQ(dll_->ExportedDllName(), layout().name + ".dll");
  const std::vector<PeExport> exports = dll_->Exports();
  ASSERT_EQ(exports.size(), 1u);
  EXPECT_EQ(exports[0].name, "KbdLayerDescriptor");
  EXPECT_EQ(exports[0].ordinal, 1u);
  bool in_code = false;
  for (const PeSection& section : dll_->sections()) {
    in_code |= exports[0].rva >= section.virtual_address &&
               exports[0].rva < section.virtual_address + section.virtual_size &&
               (section.characteristics & kSectionExecute);
  }
  EXPECT_TRUE(in_code);
}

TEST_P(LayoutDll, VersionResource) {
  std::vector<PeResource> versions;
  for (PeResource& resource : dll_->Resources()) {
    if (resource.type == kResourceVersion) versions.push_back(std::move(resource));
  }
  ASSERT_EQ(versions.size(), 1u);
  EXPECT_EQ(versions[0].id, 1u);
  EXPECT_EQ(versions[0].language, layout().language);
  const VersionInfo info = ParseVersionInfo(versions[0].data);

  const std::array<uint32_t, 13> fixed = {
      0xFEEF04BD,  // signature
      0x00010000,  // structure version
      0x00030032,  // file version 3.50.807.1
      0x03270001,
      0x00030032,  // product version 3.50.807.1
      0x03270001,
      0x3F,        // flags mask
      0,           // flags
      0x00040004,  // VOS_NT_WINDOWS32
      2,           // VFT_DLL
      0,           // no subtype
      0,           // no date
      0,
  };
  EXPECT_EQ(info.fixed, fixed);

  char block[9];
  std::snprintf(block, sizeof block, "%04X%04X", layout().language, layout().code_page);
  ASSERT_EQ(info.strings.size(), 1u);
  ASSERT_TRUE(info.strings.contains(block)) << "string block " << info.strings.begin()->first;
  const auto& strings = info.strings.at(block);
  const std::u16string name(layout().name.begin(), layout().name.end());
  const std::u16string description(layout().description.begin(), layout().description.end());
  const std::pair<const char*, std::u16string> exact[] = {
      {"FileDescription", description},     {"FileVersion", u"3.50"},    {"InternalName", name},
      {"OriginalFilename", name + u".dll"}, {"ProductVersion", u"3.50"},
  };
  for (const auto& [key, value] : exact) {
    ASSERT_TRUE(strings.contains(key)) << key;
    EXPECT_TRUE(strings.at(key) == value) << key;
  }
  for (const char* key : {"ProductName", "CompanyName", "LegalCopyright"}) {
    EXPECT_TRUE(strings.contains(key) && !strings.at(key).empty()) << key;
  }
  EXPECT_EQ(strings.contains("Comments") && !strings.at("Comments").empty(), layout().has_comments);
  EXPECT_EQ(strings.size(), layout().has_comments ? 9u : 8u);

  const std::vector<std::pair<uint16_t, uint16_t>> translation = {
      {layout().language, layout().code_page}};
  EXPECT_EQ(info.translations, translation);
}

TEST_P(LayoutDll, RelocationsCoverEveryAddress) {
  const auto fixups = dll_->Relocations();
  ASSERT_FALSE(fixups.empty());
  for (const auto& [rva, type] : fixups) EXPECT_EQ(type, 3u) << "fixup at " << rva;
  // Loaded elsewhere, every address the tables and the code hold must move
  // with the image: a missing fixup leaves one pointing outside it.
  const uint32_t elsewhere = dll_->image_base() + 0x01230000;
  try {
    const PeImage moved = dll_->Rebased(elsewhere);
    EXPECT_EQ(ReadLayout(moved, TablesAddress(moved)), ReadLayout(*dll_, TablesAddress(*dll_)));
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
}

TEST_P(LayoutDll, TablesEqualTheLinuxLibrary) {
  try {
    const LoadedLibrary linux_library(KitFile(layout().name + ".so"));
    const LayoutSnapshot expected =
        ReadLayout(linux_library, reinterpret_cast<uintptr_t>(linux_library.Descriptor()));
    const LayoutSnapshot actual = ReadLayout(*dll_, TablesAddress(*dll_));
    EXPECT_EQ(actual.vk_to_bits, expected.vk_to_bits);
    EXPECT_EQ(actual.mod_number, expected.mod_number);
    EXPECT_EQ(actual.tables, expected.tables);
    EXPECT_EQ(actual.dead_keys, expected.dead_keys);
    EXPECT_EQ(actual.key_names, expected.key_names);
    EXPECT_EQ(actual.key_names_ext, expected.key_names_ext);
    EXPECT_EQ(actual.dead_key_names, expected.dead_key_names);
    EXPECT_EQ(actual.scan_to_vk, expected.scan_to_vk);
    EXPECT_EQ(actual.e0, expected.e0);
    EXPECT_EQ(actual.e1, expected.e1);
    EXPECT_EQ(actual, expected);  // and every other field
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Libraries, LayoutDll, testing::ValuesIn(DllLayouts()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace layout_test
