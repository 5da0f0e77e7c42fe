#include "tests/layouts/pe_image.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace layout_test {
namespace {

constexpr uint32_t kOptionalHeaderImageBase = 28;
constexpr unsigned kHighLow = 3;
constexpr unsigned kAbsolute = 0;

}  // namespace

PeImage PeImage::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return PeImage(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
}

PeImage::PeImage(std::vector<uint8_t> file) : file_(std::move(file)) { ParseHeaders(); }

template <typename T>
T PeImage::FileAt(uint64_t offset) const {
  T value;
  if (offset > file_.size() || file_.size() - offset < sizeof value) {
    throw std::runtime_error("PE structure outside the file");
  }
  std::memcpy(&value, file_.data() + offset, sizeof value);
  return value;
}

template <typename T>
T PeImage::RvaAt(uint32_t rva) const {
  T value;
  if (!ReadRva(rva, &value, sizeof value)) throw std::runtime_error("RVA outside the image");
  return value;
}

std::string PeImage::AsciiAt(uint32_t rva) const {
  std::string text;
  for (char c; (c = RvaAt<char>(rva)) != 0; ++rva) text += c;
  return text;
}

void PeImage::ParseHeaders() {
  if (FileAt<uint16_t>(0) != 0x5A4D) throw std::runtime_error("no MZ header");
  const uint32_t pe = FileAt<uint32_t>(0x3C);
  if (FileAt<uint32_t>(pe) != 0x00004550) throw std::runtime_error("no PE signature");
  machine_ = FileAt<uint16_t>(pe + 4);
  const uint16_t section_count = FileAt<uint16_t>(pe + 6);
  const uint16_t optional_size = FileAt<uint16_t>(pe + 20);
  characteristics_ = FileAt<uint16_t>(pe + 22);
  const uint32_t opt = pe + 24;
  magic_ = FileAt<uint16_t>(opt);
  if (magic_ != 0x10B) throw std::runtime_error("not a PE32 optional header");
  entry_point_ = FileAt<uint32_t>(opt + 16);
  image_base_ = FileAt<uint32_t>(opt + kOptionalHeaderImageBase);
  size_of_headers_ = FileAt<uint32_t>(opt + 60);
  subsystem_ = FileAt<uint16_t>(opt + 68);
  const uint32_t directory_count = std::min<uint32_t>(FileAt<uint32_t>(opt + 92), 16);
  for (uint32_t i = 0; i < directory_count; ++i) {
    directories_[i] = {FileAt<uint32_t>(opt + 96 + 8 * i), FileAt<uint32_t>(opt + 100 + 8 * i)};
  }
  for (uint32_t i = 0, at = opt + optional_size; i < section_count; ++i, at += 40) {
    PeSection section;
    for (unsigned c = 0; c < 8 && FileAt<char>(at + c) != 0; ++c)
      section.name += FileAt<char>(at + c);
    section.virtual_size = FileAt<uint32_t>(at + 8);
    section.virtual_address = FileAt<uint32_t>(at + 12);
    section.raw_size = FileAt<uint32_t>(at + 16);
    section.raw_offset = FileAt<uint32_t>(at + 20);
    section.characteristics = FileAt<uint32_t>(at + 36);
    if (uint64_t(section.raw_offset) + section.raw_size > file_.size()) {
      throw std::runtime_error("section " + section.name + " beyond the file");
    }
    sections_.push_back(section);
  }
}

bool PeImage::ReadRva(uint32_t rva, void* out, size_t size) const {
  for (const PeSection& s : sections_) {
    const uint64_t extent = std::max(s.virtual_size, s.raw_size);
    if (rva < s.virtual_address || rva - s.virtual_address > extent ||
        extent - (rva - s.virtual_address) < size) {
      continue;
    }
    // Bytes past the raw data are zeros when loaded.
    auto* bytes = static_cast<uint8_t*>(out);
    for (size_t i = 0; i < size; ++i) {
      const uint64_t in_section = rva - s.virtual_address + i;
      bytes[i] = in_section < s.raw_size ? file_[s.raw_offset + in_section] : 0;
    }
    return true;
  }
  return false;
}

bool PeImage::Read(uint64_t address, void* out, size_t size) const {
  if (address < image_base_ || address - image_base_ > UINT32_MAX) return false;
  return ReadRva(uint32_t(address - image_base_), out, size);
}

std::string PeImage::ExportedDllName() const {
  const PeDirectory dir = directory(kExportDirectory);
  return dir.rva == 0 ? std::string() : AsciiAt(RvaAt<uint32_t>(dir.rva + 12));
}

std::vector<PeExport> PeImage::Exports() const {
  std::vector<PeExport> exports;
  const PeDirectory dir = directory(kExportDirectory);
  if (dir.rva == 0) return exports;
  const uint32_t base = RvaAt<uint32_t>(dir.rva + 16);
  const uint32_t functions = RvaAt<uint32_t>(dir.rva + 20);
  const uint32_t names = RvaAt<uint32_t>(dir.rva + 24);
  const uint32_t function_table = RvaAt<uint32_t>(dir.rva + 28);
  const uint32_t name_table = RvaAt<uint32_t>(dir.rva + 32);
  const uint32_t ordinal_table = RvaAt<uint32_t>(dir.rva + 36);
  for (uint32_t i = 0; i < functions; ++i) {
    exports.push_back({"", base + i, RvaAt<uint32_t>(function_table + 4 * i)});
  }
  for (uint32_t i = 0; i < names; ++i) {
    const uint16_t index = RvaAt<uint16_t>(ordinal_table + 2 * i);
    if (index >= exports.size()) throw std::runtime_error("export name without a function");
    exports[index].name = AsciiAt(RvaAt<uint32_t>(name_table + 4 * i));
  }
  return exports;
}

std::vector<std::string> PeImage::ImportedDlls() const {
  std::vector<std::string> dlls;
  const PeDirectory dir = directory(kImportDirectory);
  if (dir.rva == 0) return dlls;
  for (uint32_t at = dir.rva;; at += 20) {
    const uint32_t name = RvaAt<uint32_t>(at + 12);
    if (name == 0 && RvaAt<uint32_t>(at) == 0 && RvaAt<uint32_t>(at + 16) == 0) break;
    dlls.push_back(AsciiAt(name));
  }
  return dlls;
}

std::map<uint32_t, unsigned> PeImage::Relocations() const {
  std::map<uint32_t, unsigned> fixups;
  const PeDirectory dir = directory(kRelocationDirectory);
  for (uint32_t block = dir.rva; block < dir.rva + dir.size;) {
    const uint32_t page = RvaAt<uint32_t>(block);
    const uint32_t block_size = RvaAt<uint32_t>(block + 4);
    if (block_size < 8) throw std::runtime_error("relocation block too small");
    for (uint32_t at = block + 8; at < block + block_size; at += 2) {
      const uint16_t entry = RvaAt<uint16_t>(at);
      if (entry >> 12 != kAbsolute) fixups[page + (entry & 0x0FFF)] = entry >> 12;
    }
    block += block_size;
  }
  return fixups;
}

std::vector<PeResource> PeImage::Resources() const {
  std::vector<PeResource> resources;
  const PeDirectory dir = directory(kResourceDirectory);
  if (dir.rva == 0) return resources;
  // Entries of the directory at `offset` (from the section start): id and target offset.
  auto entries = [&](uint32_t offset) {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    const unsigned count =
        RvaAt<uint16_t>(dir.rva + offset + 12) + RvaAt<uint16_t>(dir.rva + offset + 14);
    for (unsigned i = 0; i < count; ++i) {
      const uint32_t at = dir.rva + offset + 16 + 8 * i;
      out.emplace_back(RvaAt<uint32_t>(at), RvaAt<uint32_t>(at + 4));
    }
    return out;
  };
  constexpr uint32_t kSubdirectory = 0x80000000;
  for (const auto& [type, types] : entries(0)) {
    if (!(types & kSubdirectory)) throw std::runtime_error("resource type without directory");
    for (const auto& [id, ids] : entries(types & ~kSubdirectory)) {
      if (!(ids & kSubdirectory)) throw std::runtime_error("resource id without directory");
      for (const auto& [language, leaf] : entries(ids & ~kSubdirectory)) {
        PeResource resource{type, id, language, {}};
        const uint32_t data = RvaAt<uint32_t>(dir.rva + leaf);
        const uint32_t size = RvaAt<uint32_t>(dir.rva + leaf + 4);
        resource.data.resize(size);
        if (!ReadRva(data, resource.data.data(), size)) throw std::runtime_error("resource data");
        resources.push_back(std::move(resource));
      }
    }
  }
  return resources;
}

PeImage PeImage::Rebased(uint32_t base) const {
  PeImage moved = *this;
  const uint32_t delta = base - image_base_;
  const uint32_t opt = FileAt<uint32_t>(0x3C) + 24;
  std::memcpy(moved.file_.data() + opt + kOptionalHeaderImageBase, &base, 4);
  for (const auto& [rva, type] : Relocations()) {
    if (type != kHighLow) throw std::runtime_error("relocation type " + std::to_string(type));
    bool patched = false;
    for (const PeSection& s : sections_) {
      if (rva >= s.virtual_address && rva - s.virtual_address + 4 <= s.raw_size) {
        uint8_t* at = moved.file_.data() + s.raw_offset + (rva - s.virtual_address);
        uint32_t value;
        std::memcpy(&value, at, 4);
        value += delta;
        std::memcpy(at, &value, 4);
        patched = true;
      }
    }
    if (!patched) throw std::runtime_error("relocation outside the sections");
  }
  moved.image_base_ = base;
  return moved;
}

VersionInfo ParseVersionInfo(const std::vector<uint8_t>& data) {
  auto u16 = [&](size_t at) {
    if (at + 2 > data.size()) throw std::runtime_error("version resource truncated");
    return uint16_t(data[at] | data[at + 1] << 8);
  };
  auto align = [](size_t at) { return (at + 3) & ~size_t(3); };
  struct Node {
    std::u16string key;
    uint16_t type;
    size_t value, value_bytes, children, end;
  };
  auto node = [&](size_t at) {
    Node n{{}, u16(at + 4), 0, 0, 0, at + u16(at)};
    if (n.end > data.size() || u16(at) < 6) throw std::runtime_error("version node length");
    size_t p = at + 6;
    for (char16_t c; (c = u16(p)) != 0; p += 2) n.key += c;
    n.value = align(p + 2);
    n.value_bytes = n.type == 1 ? 2 * size_t(u16(at + 2)) : u16(at + 2);
    n.children = align(n.value + n.value_bytes);
    return n;
  };
  auto narrow = [](const std::u16string& text) { return std::string(text.begin(), text.end()); };

  VersionInfo info;
  const Node root = node(0);
  if (root.key != u"VS_VERSION_INFO" || root.value_bytes != 52) {
    throw std::runtime_error("not a VS_VERSIONINFO");
  }
  for (unsigned i = 0; i < 13; ++i)
    info.fixed[i] = u16(root.value + 4 * i) | u16(root.value + 4 * i + 2) << 16;
  for (size_t at = root.children; at < root.end; at = align(node(at).end)) {
    const Node part = node(at);
    for (size_t c = part.children; c < part.end; c = align(node(c).end)) {
      const Node child = node(c);
      if (part.key == u"StringFileInfo") {
        auto& block = info.strings[narrow(child.key)];
        for (size_t s = child.children; s < child.end; s = align(node(s).end)) {
          const Node entry = node(s);
          std::u16string value;
          for (size_t v = entry.value; v + 2 <= entry.value + entry.value_bytes && u16(v) != 0;
               v += 2) {
            value += char16_t(u16(v));
          }
          block[narrow(entry.key)] = value;
        }
      } else if (part.key == u"VarFileInfo" && child.key == u"Translation") {
        for (size_t v = child.value; v + 4 <= child.value + child.value_bytes; v += 4) {
          info.translations.emplace_back(u16(v), u16(v + 2));
        }
      }
    }
  }
  return info;
}

}  // namespace layout_test
