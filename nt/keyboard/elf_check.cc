#include "nt/keyboard/elf_check.h"

#include <elf.h>

#include <cstring>
#include <optional>
#include <set>
#include <vector>

namespace nt::kbd {
namespace {

#if defined(__x86_64__)
constexpr Elf64_Half kMachine = EM_X86_64;
constexpr uint32_t kRelocNone = R_X86_64_NONE;
constexpr uint32_t kRelocRelative = R_X86_64_RELATIVE;
constexpr uint32_t kRelocSymbolic[] = {R_X86_64_64, R_X86_64_GLOB_DAT, R_X86_64_JUMP_SLOT};
#elif defined(__aarch64__)
constexpr Elf64_Half kMachine = EM_AARCH64;
constexpr uint32_t kRelocNone = R_AARCH64_NONE;
constexpr uint32_t kRelocRelative = R_AARCH64_RELATIVE;
constexpr uint32_t kRelocSymbolic[] = {R_AARCH64_ABS64, R_AARCH64_GLOB_DAT, R_AARCH64_JUMP_SLOT};
#else
#error "layout libraries are checked on x86-64 and AArch64 hosts"
#endif

constexpr char kExport[] = "KbdLayerDescriptor";

class ElfChecker {
 public:
  ElfChecker(const uint8_t* data, size_t size, std::string* problem)
      : data_(data), size_(size), problem_(problem) {}

  DWORD Check() {
    if (!Header() || !ProgramHeaders() || !Dynamic() || !Relocations() || !HashedSymbols()) {
      return ERROR_BAD_EXE_FORMAT;
    }
    if (!exported_) {
      *problem_ = "the library does not export KbdLayerDescriptor as a function";
      return ERROR_PROC_NOT_FOUND;
    }
    return ERROR_SUCCESS;
  }

 private:
  bool Fail(const std::string& what) {
    *problem_ = what;
    return false;
  }

  // The object of type T at file offset `offset`, if it lies in the file.
  template <typename T>
  std::optional<T> At(uint64_t offset) const {
    if (offset > size_ || sizeof(T) > size_ - offset) return std::nullopt;
    T value;
    std::memcpy(&value, data_ + offset, sizeof(T));
    return value;
  }

  // The file offset of `count` bytes at virtual address `address`, if a
  // loaded segment holds them in the file.
  std::optional<uint64_t> Offset(uint64_t address, uint64_t count) const {
    for (const Elf64_Phdr& load : loads_) {
      if (address >= load.p_vaddr && address - load.p_vaddr <= load.p_filesz &&
          count <= load.p_filesz - (address - load.p_vaddr)) {
        return load.p_offset + (address - load.p_vaddr);
      }
    }
    return std::nullopt;
  }

  // Whether [address, address + count) lies in the memory of one loaded segment.
  bool Mapped(uint64_t address, uint64_t count, bool executable = false) const {
    for (const Elf64_Phdr& load : loads_) {
      if (executable && (load.p_flags & PF_X) == 0) continue;
      if (address >= load.p_vaddr && address - load.p_vaddr <= load.p_memsz &&
          count <= load.p_memsz - (address - load.p_vaddr)) {
        return true;
      }
    }
    return false;
  }

  bool Header() {
    const auto header = At<Elf64_Ehdr>(0);
    if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0) {
      return Fail("the file is not an ELF library");
    }
    if (header->e_ident[EI_CLASS] != ELFCLASS64 || header->e_ident[EI_DATA] != ELFDATA2LSB ||
        header->e_machine != kMachine) {
      return Fail("the library is built for another machine");
    }
    if (header->e_type != ET_DYN) return Fail("the file is not a shared library");
    if (header->e_phentsize != sizeof(Elf64_Phdr)) return Fail("the program headers are malformed");
    header_ = *header;
    return true;
  }

  bool ProgramHeaders() {
    const Elf64_Phdr* dynamic = nullptr;
    for (unsigned i = 0; i < header_.e_phnum; ++i) {
      const auto phdr = At<Elf64_Phdr>(header_.e_phoff + uint64_t{i} * sizeof(Elf64_Phdr));
      if (!phdr || header_.e_phoff > size_) return Fail("the program headers lie outside the file");
      phdrs_.push_back(*phdr);
    }
    for (const Elf64_Phdr& phdr : phdrs_) {
      if (phdr.p_type == PT_LOAD) {
        if (phdr.p_offset > size_ || phdr.p_filesz > size_ - phdr.p_offset ||
            phdr.p_filesz > phdr.p_memsz) {
          return Fail("a loaded segment lies outside the file");
        }
        loads_.push_back(phdr);
      } else if (phdr.p_type == PT_DYNAMIC) {
        if (dynamic != nullptr) return Fail("the library has two dynamic sections");
        dynamic = &phdr;
      } else if (phdr.p_type == PT_GNU_STACK && (phdr.p_flags & PF_X) != 0) {
        return Fail("the library asks for an executable stack");
      }
    }
    if (dynamic == nullptr) return Fail("the library has no dynamic section");
    dynamic_ = *dynamic;
    return true;
  }

  bool Dynamic() {
    bool ended = false;
    for (uint64_t at = dynamic_.p_offset; at + sizeof(Elf64_Dyn) <= dynamic_.p_offset + dynamic_.p_filesz;
         at += sizeof(Elf64_Dyn)) {
      const auto entry = At<Elf64_Dyn>(at);
      if (!entry) break;
      const uint64_t value = entry->d_un.d_val;
      switch (entry->d_tag) {
        case DT_NULL: ended = true; break;
        case DT_NEEDED:
        case DT_FILTER:
        case DT_AUXILIARY:
        case DT_AUDIT:
        case DT_DEPAUDIT:
        case DT_VERNEED:
          return Fail("the library needs another library");
        case DT_INIT:
        case DT_INIT_ARRAY:
        case DT_PREINIT_ARRAY:
          return Fail("the library has initialisers");
        case DT_FINI:
        case DT_FINI_ARRAY:
          return Fail("the library has finalisers");
        case DT_REL:
        case DT_RELSZ:
          return Fail("the library has relocations in a format this machine does not use");
        case DT_FLAGS_1:
          // Such a library would outlive its unloading and could stand in
          // for a later library mapped under the same name.
          if ((value & DF_1_NODELETE) != 0) return Fail("the library asks never to be unloaded");
          break;
        case DT_SONAME: soname_ = value; break;
        case DT_SYMTAB: symtab_ = value; break;
        case DT_STRTAB: strtab_ = value; break;
        case DT_STRSZ: strsz_ = value; break;
        case DT_SYMENT: syment_ = value; break;
        case DT_HASH: hash_ = value; break;
        case DT_GNU_HASH: gnuHash_ = value; break;
        case DT_RELA: rela_ = value; break;
        case DT_RELASZ: relasz_ = value; break;
        case DT_RELAENT: relaent_ = value; break;
        case DT_JMPREL: jmprel_ = value; break;
        case DT_PLTRELSZ: pltrelsz_ = value; break;
        case DT_PLTREL: pltrel_ = value; break;
        case DT_RELR: relr_ = value; break;
        case DT_RELRSZ: relrsz_ = value; break;
        default: break;
      }
      if (ended) break;
    }
    if (!ended) return Fail("the dynamic section is not terminated");
    if (syment_ != 0 && syment_ != sizeof(Elf64_Sym)) return Fail("the symbol table is malformed");
    if (relaent_ != 0 && relaent_ != sizeof(Elf64_Rela)) return Fail("the relocations are malformed");
    if (jmprel_ != 0 && pltrel_ != DT_RELA) return Fail("the relocations are malformed");
    if (symtab_ == 0) return Fail("the library has no symbol table");
    if (soname_ != 0 && Name(soname_).find('/') != std::string::npos) {
      return Fail("the library names itself with a path");
    }
    return true;
  }

  // Checks the symbol at `index`: no indirect functions, no imports, and the
  // only export KbdLayerDescriptor, a function in executable memory.
  bool Symbol(uint64_t index) {
    if (index == 0 || !seen_.insert(index).second) return true;
    if (seen_.size() > size_ / sizeof(Elf64_Sym) + 1) return Fail("the symbol table is malformed");
    const auto at = Offset(symtab_ + index * sizeof(Elf64_Sym), sizeof(Elf64_Sym));
    const auto symbol = at ? At<Elf64_Sym>(*at) : std::nullopt;
    if (!symbol) return Fail("a symbol lies outside the file");
    const std::string name = Name(symbol->st_name);
    if (ELF64_ST_TYPE(symbol->st_info) == STT_GNU_IFUNC) {
      return Fail("the library has an indirect function, code run when it is loaded");
    }
    if (symbol->st_shndx == SHN_UNDEF) return Fail("the library imports \"" + name + "\"");
    const unsigned visibility = ELF64_ST_VISIBILITY(symbol->st_other);
    if (ELF64_ST_BIND(symbol->st_info) == STB_LOCAL ||
        (visibility != STV_DEFAULT && visibility != STV_PROTECTED)) {
      return true;
    }
    if (name != kExport) return Fail("the library exports \"" + name + "\" besides KbdLayerDescriptor");
    if (ELF64_ST_TYPE(symbol->st_info) == STT_FUNC && symbol->st_shndx != SHN_ABS &&
        Mapped(symbol->st_value, 1, true)) {
      exported_ = true;
    }
    return true;
  }

  std::string Name(uint64_t offsetInTable) const {
    if (offsetInTable >= strsz_) return "?";
    const auto at = Offset(strtab_ + offsetInTable, strsz_ - offsetInTable);
    if (!at) return "?";
    const char* begin = reinterpret_cast<const char*>(data_ + *at);
    return std::string(begin, strnlen(begin, strsz_ - offsetInTable));
  }

  bool Relocations() {
    return RelocationTable(rela_, relasz_) && RelocationTable(jmprel_, pltrelsz_) && RelativeTable();
  }

  bool RelocationTable(uint64_t address, uint64_t bytes) {
    if (address == 0 && bytes == 0) return true;
    const auto at = Offset(address, bytes);
    if (!at || bytes % sizeof(Elf64_Rela) != 0) return Fail("the relocations lie outside the file");
    for (uint64_t i = 0; i < bytes / sizeof(Elf64_Rela); ++i) {
      const Elf64_Rela rela = *At<Elf64_Rela>(*at + i * sizeof(Elf64_Rela));
      const uint32_t type = ELF64_R_TYPE(rela.r_info);
      if (type == kRelocNone) continue;
      bool symbolic = false;
      for (uint32_t allowed : kRelocSymbolic) symbolic |= type == allowed;
      if (type != kRelocRelative && !symbolic) {
        return Fail("the library has a relocation of type " + std::to_string(type) +
                    ", which a data library does not need");
      }
      // A relocation outside the library's own memory would write elsewhere in the process.
      if (!Mapped(rela.r_offset, sizeof(uint64_t))) return Fail("a relocation lies outside the library");
      if (symbolic) {
        if (ELF64_R_SYM(rela.r_info) == 0) return Fail("a relocation names no symbol");
        if (!Symbol(ELF64_R_SYM(rela.r_info))) return false;
      }
    }
    return true;
  }

  bool RelativeTable() {
    if (relr_ == 0 && relrsz_ == 0) return true;
    const auto at = Offset(relr_, relrsz_);
    if (!at || relrsz_ % sizeof(uint64_t) != 0) return Fail("the relocations lie outside the file");
    uint64_t base = 0;
    for (uint64_t i = 0; i < relrsz_ / sizeof(uint64_t); ++i) {
      const uint64_t entry = *At<uint64_t>(*at + i * sizeof(uint64_t));
      if ((entry & 1) == 0) {
        if (!Mapped(entry, sizeof(uint64_t))) return Fail("a relocation lies outside the library");
        base = entry + sizeof(uint64_t);
        continue;
      }
      for (unsigned bit = 1; bit < 64; ++bit) {
        if (((entry >> bit) & 1) != 0 &&
            !Mapped(base + (bit - 1) * sizeof(uint64_t), sizeof(uint64_t))) {
          return Fail("a relocation lies outside the library");
        }
      }
      base += 63 * sizeof(uint64_t);
    }
    return true;
  }

  // Every symbol a lookup by name can find.
  bool HashedSymbols() {
    if (hash_ == 0 && gnuHash_ == 0) return Fail("the library has no symbol hash table");
    if (hash_ != 0) {
      const auto at = Offset(hash_, 2 * sizeof(uint32_t));
      if (!at) return Fail("the symbol hash table lies outside the file");
      const uint32_t chains = *At<uint32_t>(*at + sizeof(uint32_t));
      if (chains > size_ / sizeof(Elf64_Sym)) return Fail("the symbol hash table is malformed");
      for (uint32_t i = 1; i < chains; ++i) {
        if (!Symbol(i)) return false;
      }
    }
    if (gnuHash_ != 0) return GnuHashedSymbols();
    return true;
  }

  bool GnuHashedSymbols() {
    const auto at = Offset(gnuHash_, 4 * sizeof(uint32_t));
    if (!at) return Fail("the symbol hash table lies outside the file");
    const uint32_t buckets = *At<uint32_t>(*at);
    const uint32_t first = *At<uint32_t>(*at + 4);
    const uint32_t bloomWords = *At<uint32_t>(*at + 8);
    const uint64_t bucketsAt = *at + 16 + uint64_t{bloomWords} * sizeof(uint64_t);
    const uint64_t chainsAt = bucketsAt + uint64_t{buckets} * sizeof(uint32_t);
    if (bucketsAt > size_ || chainsAt > size_) return Fail("the symbol hash table is malformed");
    for (uint32_t b = 0; b < buckets; ++b) {
      uint32_t index = *At<uint32_t>(bucketsAt + uint64_t{b} * sizeof(uint32_t));
      if (index == 0) continue;
      if (index < first) return Fail("the symbol hash table is malformed");
      for (;; ++index) {
        const auto chain = At<uint32_t>(chainsAt + uint64_t{index - first} * sizeof(uint32_t));
        if (!chain) return Fail("the symbol hash table is malformed");
        if (!Symbol(index)) return false;
        if ((*chain & 1) != 0) break;
      }
    }
    return true;
  }

  const uint8_t* data_;
  size_t size_;
  std::string* problem_;
  Elf64_Ehdr header_{};
  std::vector<Elf64_Phdr> phdrs_;
  std::vector<Elf64_Phdr> loads_;
  Elf64_Phdr dynamic_{};
  uint64_t symtab_ = 0, strtab_ = 0, strsz_ = 0, syment_ = 0, hash_ = 0, gnuHash_ = 0;
  uint64_t rela_ = 0, relasz_ = 0, relaent_ = 0, jmprel_ = 0, pltrelsz_ = 0, pltrel_ = 0;
  uint64_t relr_ = 0, relrsz_ = 0, soname_ = 0;
  std::set<uint64_t> seen_;
  bool exported_ = false;
};

}  // namespace

DWORD CheckLayoutElf(const uint8_t* data, size_t size, std::string* problem) {
  std::string why;
  const DWORD result = ElfChecker(data, size, &why).Check();
  if (problem != nullptr) *problem = why;
  return result;
}

}  // namespace nt::kbd
