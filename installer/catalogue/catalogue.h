// The keyboard catalogue, keyboard.ini: [OptionsTextENG] holds each
// keyboard's label between double quotes, [Options] its layout file name,
// both under the keyboard's catalogue key.
#pragma once

#include "framework/collections.h"
#include "framework/cstring.h"

// Size of the working buffer the listing reads the section into.
constexpr DWORD kCatalogueSectionSize = 4096;
// Size of the buffer of one catalogue lookup.
constexpr DWORD kCatalogueValueSize = 200;

// Reads every label of [OptionsTextENG] from `currentDirectory`\Keyboard.ini
// through `buffer` (kCatalogueSectionSize bytes): fills `labelToKey` (of
// two entries with one label the later wins) and returns the labels in byte
// order, equal labels in file order.
void ListCatalogue(const CString& currentDirectory, char* buffer, CStringList& labels,
                   CMapStringToString& labelToKey);

// Looks `key` up in `section` of `sourceDirectory`keyboard.ini through
// `buffer` (kCatalogueValueSize bytes); "error" when it is not there.
CString LookupCatalogue(const CString& sourceDirectory, LPCSTR section, const CString& key,
                        char* buffer);

// Compares labels byte by byte as unsigned values; a text that ends first is
// the smaller.
int CompareLabels(const CString& a, const CString& b);
