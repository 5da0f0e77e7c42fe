#include "installer/catalogue/catalogue.h"

#include <cstring>

int CompareLabels(const CString& a, const CString& b) {
  const auto* x = reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(a));
  const auto* y = reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(b));
  const int length = a.GetLength() < b.GetLength() ? a.GetLength() : b.GetLength();
  for (int i = 0; i < length; ++i) {
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  }
  if (a.GetLength() == b.GetLength()) return 0;
  return a.GetLength() < b.GetLength() ? -1 : 1;
}

void ListCatalogue(const CString& currentDirectory, char* buffer, CStringList& labels,
                   CMapStringToString& labelToKey) {
  const CString path = currentDirectory + "\\Keyboard.ini";
  GetPrivateProfileSectionA("OptionsTextENG", buffer, kCatalogueSectionSize, path);

  for (const char* entry = buffer; *entry != '\0'; entry += std::strlen(entry) + 1) {
    const char* equals = std::strchr(entry, '=');
    if (equals == nullptr) continue;  // not an entry, or one cut short before its "="
    const CString key(entry, static_cast<int>(equals - entry));
    const CString value(equals + 1);
    const CString label = value.GetLength() < 2 ? CString() : value.Mid(1, value.GetLength() - 2);

    labelToKey.SetAt(label, key);

    POSITION position = labels.GetHeadPosition();
    while (position != nullptr) {
      POSITION here = position;
      if (CompareLabels(labels.GetNext(position), label) > 0) {
        position = here;
        break;
      }
    }
    if (position == nullptr) {
      labels.AddTail(label);
    } else {
      labels.InsertBefore(position, label);
    }
  }
}

CString LookupCatalogue(const CString& sourceDirectory, LPCSTR section, const CString& key,
                        char* buffer) {
  const CString path = sourceDirectory + "keyboard.ini";
  GetPrivateProfileStringA(section, key, "error", buffer, kCatalogueValueSize, path);
  return CString(buffer);
}
