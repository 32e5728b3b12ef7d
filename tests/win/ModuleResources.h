// A module's resources as the dialog manager and the menu code read them: the
// string ids, the controls of a dialog template, the commands of a menu and the
// images of an icon group. The module is mapped as data, so none of its code runs.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct DialogControl {
  int id;
  std::string className;  // lower case; the predefined classes by name
  DWORD style;
};

struct DialogLayout {
  bool found = false;
  DWORD style = 0;
  std::vector<DialogControl> controls;
};

class ModuleResources {
 public:
  explicit ModuleResources(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ModuleResources() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ModuleResources(const ModuleResources&) = delete;
  ModuleResources& operator=(const ModuleResources&) = delete;

  bool Loaded() const { return module_ != nullptr; }

  // Every id whose string is not empty, from the tables of 16 counted strings.
  std::set<UINT> StringIds() const {
    std::vector<UINT> blocks;
    EnumResourceNamesA(module_, RT_STRING, CollectBlock, reinterpret_cast<LONG_PTR>(&blocks));
    std::set<UINT> ids;
    for (UINT block : blocks) {
      DWORD size = 0;
      const auto* text = reinterpret_cast<const WORD*>(Data(RT_STRING, block, &size));
      const WORD* end = text + size / sizeof(WORD);
      for (UINT i = 0; i < 16 && text != nullptr && text < end; ++i) {
        if (*text != 0) ids.insert((block - 1) * 16 + i);
        text += 1 + *text;
      }
    }
    return ids;
  }

  // The frame style and the controls in template order, from DLGTEMPLATE or DLGTEMPLATEEX.
  DialogLayout Dialog(UINT id) const {
    DialogLayout layout;
    DWORD size = 0;
    const auto* words = reinterpret_cast<const WORD*>(Data(RT_DIALOG, id, &size));
    if (words == nullptr) return layout;
    layout.found = true;
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    layout.style = extended ? Dword(words + 6) : Dword(words);
    const WORD count = extended ? words[8] : words[4];
    const WORD* at = words + (extended ? 13 : 9);  // the menu
    at = SkipNameOrOrdinal(at);                    // the class
    at = SkipNameOrOrdinal(at);                    // the caption
    at = SkipString(at);
    if (layout.style & DS_SETFONT) {
      at = SkipString(at + (extended ? 3 : 1));  // size, [weight, italic and charset,] face
    }
    for (WORD i = 0; i < count; ++i) {
      at = AlignToDword(at, words);
      DialogControl control;
      control.style = Dword(at + (extended ? 4 : 0));
      control.id = extended ? static_cast<int>(Dword(at + 10)) : static_cast<short>(at[8]);
      at += extended ? 12 : 9;
      control.className = ClassName(at);
      at = SkipNameOrOrdinal(SkipNameOrOrdinal(at));  // class, title
      at =
          reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at + 1) + *at);  // extra data
      layout.controls.push_back(control);
    }
    return layout;
  }

  // The command ids of a menu, its popups' items included, separators left out;
  // nothing when the menu is missing.
  std::vector<UINT> MenuCommands(UINT id) const {
    std::vector<UINT> commands;
    DWORD size = 0;
    const void* menuTemplate = Data(RT_MENU, id, &size);
    if (menuTemplate == nullptr) return commands;
    const HMENU menu = LoadMenuIndirectA(menuTemplate);
    CollectCommands(menu, commands);
    DestroyMenu(menu);
    return commands;
  }

  // The images of an icon group as "width x height, bits"; nothing when it is missing.
  std::set<std::string> IconImages(UINT id) const {
    std::set<std::string> images;
    DWORD size = 0;
    const BYTE* group = Data(RT_GROUP_ICON, id, &size);
    if (group == nullptr || size < 6) return images;
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    for (WORD i = 0; i < count && 6u + (i + 1) * 14u <= size; ++i) {
      const BYTE* entry = group + 6 + i * 14;
      const int width = entry[0] != 0 ? entry[0] : 256;
      const int height = entry[1] != 0 ? entry[1] : 256;
      images.insert(std::to_string(width) + "x" + std::to_string(height) + ", " +
                    std::to_string(*reinterpret_cast<const WORD*>(entry + 6)) + " bits");
    }
    return images;
  }

 private:
  const BYTE* Data(LPCSTR type, UINT id, DWORD* size) const {
    const HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return nullptr;
    *size = SizeofResource(module_, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
  }
  static BOOL CALLBACK CollectBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR blocks) {
    if (IS_INTRESOURCE(name)) {
      reinterpret_cast<std::vector<UINT>*>(blocks)->push_back(
          static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
  }
  static void CollectCommands(HMENU menu, std::vector<UINT>& commands) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      if (const HMENU popup = GetSubMenu(menu, i)) {
        CollectCommands(popup, commands);
      } else if (GetMenuItemID(menu, i) != 0) {
        commands.push_back(GetMenuItemID(menu, i));
      }
    }
  }
  static DWORD Dword(const WORD* at) { return at[0] | (static_cast<DWORD>(at[1]) << 16); }
  static const WORD* SkipString(const WORD* at) {
    while (*at != 0) ++at;
    return at + 1;
  }
  static const WORD* SkipNameOrOrdinal(const WORD* at) {
    if (*at == 0xFFFF) return at + 2;
    return SkipString(at);
  }
  static const WORD* AlignToDword(const WORD* at, const WORD* base) {
    const auto offset = reinterpret_cast<const BYTE*>(at) - reinterpret_cast<const BYTE*>(base);
    return offset % 4 != 0 ? at + 1 : at;
  }
  static std::string ClassName(const WORD* at) {
    if (*at == 0xFFFF) {
      static const char* const kPredefined[] = {"button",  "edit",      "static",
                                                "listbox", "scrollbar", "combobox"};
      const WORD atom = at[1];
      return atom >= 0x80 && atom <= 0x85 ? kPredefined[atom - 0x80] : "#" + std::to_string(atom);
    }
    std::string name;
    for (; *at != 0; ++at) {
      name +=
          *at >= 'A' && *at <= 'Z' ? static_cast<char>(*at - 'A' + 'a') : static_cast<char>(*at);
    }
    return name;
  }

  HMODULE module_;
};
