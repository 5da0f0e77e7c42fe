// The Linux layout libraries are data: read as files, they need no other
// library, run no initialiser, export KbdLayerDescriptor alone and leave no
// data writable once loaded.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/layouts/expected_layouts.h"
#include "tests/layouts/loaded_library.h"

namespace layout_test {
namespace {

// A 64-bit ELF file's headers, read with bounds checks.
class ElfFile {
 public:
  explicit ElfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    header_ = At<Elf64_Ehdr>(0);
    if (std::memcmp(header_.e_ident, ELFMAG, SELFMAG) != 0 ||
        header_.e_ident[EI_CLASS] != ELFCLASS64) {
      throw std::runtime_error(path + ": not a 64-bit ELF file");
    }
    for (unsigned i = 0; i < header_.e_phnum; ++i) {
      segments_.push_back(At<Elf64_Phdr>(header_.e_phoff + i * sizeof(Elf64_Phdr)));
    }
    for (unsigned i = 0; i < header_.e_shnum; ++i) {
      sections_.push_back(At<Elf64_Shdr>(header_.e_shoff + i * sizeof(Elf64_Shdr)));
    }
  }

  template <typename T>
  T At(uint64_t offset) const {
    T value;
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof value) {
      throw std::runtime_error("ELF structure outside the file");
    }
    std::memcpy(&value, bytes_.data() + offset, sizeof value);
    return value;
  }

  std::string String(const Elf64_Shdr& table, uint32_t offset) const {
    std::string text;
    for (char c; (c = At<char>(table.sh_offset + offset)) != 0; ++offset) text += c;
    return text;
  }

  std::string SectionName(const Elf64_Shdr& section) const {
    return String(sections_.at(header_.e_shstrndx), section.sh_name);
  }

  std::vector<Elf64_Dyn> Dynamic() const {
    std::vector<Elf64_Dyn> entries;
    for (const Elf64_Phdr& ph : segments_) {
      if (ph.p_type != PT_DYNAMIC) continue;
      for (uint64_t off = ph.p_offset; off + sizeof(Elf64_Dyn) <= ph.p_offset + ph.p_filesz;
           off += sizeof(Elf64_Dyn)) {
        entries.push_back(At<Elf64_Dyn>(off));
        if (entries.back().d_tag == DT_NULL) break;
      }
    }
    return entries;
  }

  struct Symbol {
    std::string name;
    Elf64_Sym sym;
  };
  std::vector<Symbol> DynamicSymbols() const {
    std::vector<Symbol> symbols;
    for (const Elf64_Shdr& section : sections_) {
      if (section.sh_type != SHT_DYNSYM) continue;
      const Elf64_Shdr& strings = sections_.at(section.sh_link);
      for (uint64_t off = section.sh_offset;
           off + sizeof(Elf64_Sym) <= section.sh_offset + section.sh_size;
           off += sizeof(Elf64_Sym)) {
        const auto sym = At<Elf64_Sym>(off);
        symbols.push_back({String(strings, sym.st_name), sym});
      }
    }
    return symbols;
  }

  const Elf64_Ehdr& header() const { return header_; }
  const std::vector<Elf64_Phdr>& segments() const { return segments_; }
  const std::vector<Elf64_Shdr>& sections() const { return sections_; }

 private:
  std::vector<char> bytes_;
  Elf64_Ehdr header_;
  std::vector<Elf64_Phdr> segments_;
  std::vector<Elf64_Shdr> sections_;
};

class ElfProperties : public testing::TestWithParam<ExpectedLayout> {
 protected:
  void SetUp() override {
    try {
      elf_ = std::make_unique<ElfFile>(KitFile(GetParam().name + ".so"));
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
  }
  std::unique_ptr<ElfFile> elf_;
};

TEST_P(ElfProperties, SharedObjectForThisMachine) {
  EXPECT_EQ(elf_->header().e_type, ET_DYN);
  EXPECT_EQ(elf_->header().e_machine, EM_X86_64);
  for (const Elf64_Phdr& ph : elf_->segments()) EXPECT_NE(ph.p_type, PT_INTERP);
}

TEST_P(ElfProperties, NeedsNoLibraryAndRunsNoCode) {
  const std::set<Elf64_Sxword> forbidden = {
      DT_NEEDED, DT_INIT, DT_FINI, DT_INIT_ARRAY, DT_FINI_ARRAY, DT_PREINIT_ARRAY, DT_TEXTREL};
  const auto dynamic = elf_->Dynamic();
  ASSERT_FALSE(dynamic.empty());
  for (const Elf64_Dyn& entry : dynamic) {
    EXPECT_FALSE(forbidden.contains(entry.d_tag)) << "dynamic tag " << entry.d_tag;
  }
  const std::set<std::string> code_sections = {
      ".init", ".fini", ".init_array", ".fini_array", ".preinit_array", ".ctors", ".dtors", ".plt"};
  for (const Elf64_Shdr& section : elf_->sections()) {
    EXPECT_FALSE(code_sections.contains(elf_->SectionName(section))) << elf_->SectionName(section);
  }
}

TEST_P(ElfProperties, ExportsOnlyTheDescriptorAndImportsNothing) {
  std::vector<std::string> exported;
  for (const auto& [name, sym] : elf_->DynamicSymbols()) {
    if (name.empty() && sym.st_shndx == SHN_UNDEF) continue;  // the null symbol
    EXPECT_NE(sym.st_shndx, SHN_UNDEF) << "imports " << name;
    if (ELF64_ST_BIND(sym.st_info) != STB_LOCAL) {
      exported.push_back(name);
      EXPECT_EQ(ELF64_ST_TYPE(sym.st_info), STT_FUNC) << name;
    }
  }
  EXPECT_EQ(exported, std::vector<std::string>{"KbdLayerDescriptor"});
}

// Writable sections exist only to be relocated: all of them lie in the
// RELRO segment, which the loader makes read-only after binding everything at once.
TEST_P(ElfProperties, NoDataStaysWritable) {
  uint64_t relro_begin = 0, relro_end = 0;
  for (const Elf64_Phdr& ph : elf_->segments()) {
    if (ph.p_type == PT_GNU_RELRO) relro_begin = ph.p_vaddr, relro_end = ph.p_vaddr + ph.p_memsz;
  }
  for (const Elf64_Shdr& section : elf_->sections()) {
    const std::string name = elf_->SectionName(section);
    EXPECT_NE(name, ".data");
    EXPECT_NE(name, ".bss");
    if ((section.sh_flags & SHF_ALLOC) == 0 || (section.sh_flags & SHF_WRITE) == 0) continue;
    EXPECT_NE(section.sh_type, SHT_NOBITS) << name;
    EXPECT_TRUE(section.sh_addr >= relro_begin && section.sh_addr + section.sh_size <= relro_end)
        << name << " stays writable";
  }
  bool bind_now = false;
  for (const Elf64_Dyn& entry : elf_->Dynamic()) {
    bind_now |= (entry.d_tag == DT_FLAGS && (entry.d_un.d_val & DF_BIND_NOW)) ||
                (entry.d_tag == DT_FLAGS_1 && (entry.d_un.d_val & DF_1_NOW));
  }
  EXPECT_TRUE(bind_now);
}

INSTANTIATE_TEST_SUITE_P(Libraries, ElfProperties, testing::ValuesIn(AllLayouts()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace layout_test
