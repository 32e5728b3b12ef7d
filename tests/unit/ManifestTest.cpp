// The manifest inside the shipped program, checked against the platform's
// documentation ("Application manifests" on learn.microsoft.com), not against
// what Wine accepts: Windows XP's loader is stricter than Wine's.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/unit/PeResources.h"
#include "tests/unit/StrictXml.h"

namespace {
using strict_xml::Element;

constexpr char kAsmV1[] = "urn:schemas-microsoft-com:asm.v1";
constexpr char kAsmV3[] = "urn:schemas-microsoft-com:asm.v3";
// Windows XP refuses trustInfo in asm.v1; v2 and v3 are both documented.
constexpr char kTrust[] = "urn:schemas-microsoft-com:asm.v2|urn:schemas-microsoft-com:asm.v3";
constexpr char kCompatibility[] = "urn:schemas-microsoft-com:compatibility.v1";
constexpr char kSettings2005[] = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
constexpr char kSettings2016[] = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";
constexpr uint32_t kRtManifest = 24;
constexpr uint32_t kProcessManifest = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID

std::unique_ptr<Element> Parse(const std::string& text, std::string& error) {
  strict_xml::Reader reader;
  auto root = reader.Parse(text);
  error = reader.error();
  return root;
}

// The one child named `name`; null when there is none or more than one.
const Element* OnlyChild(const Element& parent, const std::string& name) {
  const Element* found = nullptr;
  for (const auto& child : parent.children) {
    if (child->name != name) continue;
    if (found != nullptr) return nullptr;
    found = child.get();
  }
  return found;
}

const Element* Find(const Element& root, const std::string& path) {
  const Element* at = &root;
  for (size_t begin = 0; at != nullptr && begin <= path.size();) {
    size_t end = path.find('/', begin);
    if (end == std::string::npos) end = path.size();
    at = OnlyChild(*at, path.substr(begin, end - begin));
    begin = end + 1;
  }
  return at;
}

// Names of the elements that declare one namespace twice (support.microsoft.com/kb/921337:
// Windows XP SP2 and Server 2003 without SP1 restart on such an element).
void CollectDoubleDeclarations(const Element& element, std::vector<std::string>& found) {
  const std::set<std::string> unique(element.declared.begin(), element.declared.end());
  if (unique.size() != element.declared.size()) found.push_back(element.name);
  for (const auto& child : element.children) CollectDoubleDeclarations(*child, found);
}

std::string ShippedManifest() {
  return pe_resources::Image(pe_resources::ReadFile(SENTEL_SHIPPED_BIN "/sentel.exe"))
      .Resource(kRtManifest, kProcessManifest);
}

struct Place {
  const char* path;    // below <assembly>
  const char* spaces;  // the namespaces allowed, separated by '|'
  std::vector<std::pair<std::string, std::string>> attributes;
  const char* textStart;  // what the text begins with, or null
};

const Place kPlaces[] = {
    {"assemblyIdentity", kAsmV1, {{"name", "sentel"}, {"type", "win32"}}, nullptr},
    {"trustInfo", kTrust, {}, nullptr},
    {"trustInfo/security", kTrust, {}, nullptr},
    {"trustInfo/security/requestedPrivileges", kTrust, {}, nullptr},
    {"trustInfo/security/requestedPrivileges/requestedExecutionLevel",
     kTrust,
     {{"level", "asInvoker"}, {"uiAccess", "false"}},
     nullptr},
    {"compatibility", kCompatibility, {}, nullptr},
    {"compatibility/application", kCompatibility, {}, nullptr},
    {"application", kAsmV3, {}, nullptr},
    {"application/windowsSettings", kAsmV3, {}, nullptr},
    {"application/windowsSettings/dpiAware", kSettings2005, {}, "true"},
    {"application/windowsSettings/dpiAwareness", kSettings2016, {}, "PerMonitorV2"},
    {"dependency", kAsmV1, {}, nullptr},
    {"dependency/dependentAssembly", kAsmV1, {}, nullptr},
    {"dependency/dependentAssembly/assemblyIdentity",
     kAsmV1,
     {{"type", "win32"},
      {"name", "Microsoft.Windows.Common-Controls"},
      {"version", "6.0.0.0"},
      {"publicKeyToken", "6595b64144ccf1df"},
      {"language", "*"}},
     nullptr},
};
}  // namespace

TEST(Manifest, EveryElementSitsInItsDocumentedPlaceAndNamespace) {
  const std::string text = ShippedManifest();
  ASSERT_FALSE(text.empty()) << "no manifest resource in " SENTEL_SHIPPED_BIN "/sentel.exe";
  std::string error;
  const auto root = Parse(text, error);
  ASSERT_NE(nullptr, root) << error;
  EXPECT_EQ("assembly", root->name);
  EXPECT_EQ(kAsmV1, root->space);
  EXPECT_EQ("1.0", root->Attribute("manifestVersion"));

  for (const Place& place : kPlaces) {
    const Element* element = Find(*root, place.path);
    ASSERT_NE(nullptr, element) << place.path << " missing or given twice";
    EXPECT_NE(std::string::npos,
              ("|" + std::string(place.spaces) + "|").find("|" + element->space + "|"))
        << place.path << " is in " << element->space;
    for (const auto& [name, value] : place.attributes) {
      EXPECT_EQ(value, element->Attribute(name)) << place.path << " " << name;
    }
    if (place.textStart != nullptr) {
      EXPECT_EQ(0u, element->text.find(place.textStart)) << place.path << ": " << element->text;
    }
  }
  // Below trustInfo everything stays in trustInfo's one namespace.
  EXPECT_EQ(Find(*root, "trustInfo")->space,
            Find(*root, "trustInfo/security/requestedPrivileges/requestedExecutionLevel")->space);

  std::vector<std::string> doubles;
  CollectDoubleDeclarations(*root, doubles);
  EXPECT_TRUE(doubles.empty()) << doubles.front();
}

TEST(Manifest, NamesVistaSevenEightEightOneAndTenAsSupported) {
  std::string error;
  const auto root = Parse(ShippedManifest(), error);
  ASSERT_NE(nullptr, root) << error;
  const Element* list = Find(*root, "compatibility/application");
  ASSERT_NE(nullptr, list);
  std::set<std::string> ids;
  for (const auto& child : list->children) {
    EXPECT_EQ("supportedOS", child->name);
    ids.insert(child->Attribute("Id"));
  }
  const std::set<std::string> documented = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  EXPECT_EQ(documented, ids);
}

// The checks themselves catch what XP's loader trips on.
TEST(Manifest, TheCheckerRefusesMalformedDocumentsAndDoubleDeclarations) {
  const struct {
    const char* document;
    const char* error;  // what the reader says, or "" for well-formed
  } kRows[] = {
      {"<a><b></a>", "does not close"},
      {"<a x='1' x='2'/>", "given twice"},
      {"<p:a/>", "unbound prefix"},
      {"<a>&nbsp;</a>", "unknown entity"},
      {"<a/><b/>", "after the root"},
      {"<a><!-- x -- y --></a>", "inside a comment"},
      {"<a xmlns:p='u' xmlns='u'><p:b/></a>", ""},
  };
  for (const auto& row : kRows) {
    std::string error;
    const auto root = Parse(row.document, error);
    if (row.error[0] != '\0') {
      EXPECT_EQ(nullptr, root) << row.document;
      EXPECT_NE(std::string::npos, error.find(row.error)) << row.document << ": " << error;
      continue;
    }
    ASSERT_NE(nullptr, root) << error;
    EXPECT_EQ("u", root->children.front()->space);
    std::vector<std::string> doubles;
    CollectDoubleDeclarations(*root, doubles);
    EXPECT_EQ(std::vector<std::string>{"a"}, doubles) << row.document;
  }
}
