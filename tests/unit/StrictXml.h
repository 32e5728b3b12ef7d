// A small, strict XML reader, enough for application manifests: elements,
// attributes, text, comments and the declaration; namespaces resolved as the
// XML namespaces recommendation says. Anything it does not know is an error,
// never skipped: Windows XP's manifest parser forgives less than Wine's.
#pragma once
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace strict_xml {

struct Element {
  std::string name;                               // local name
  std::string space;                              // namespace URI
  std::map<std::string, std::string> attributes;  // unprefixed, declarations excluded
  std::vector<std::string> declared;              // URIs this element declares, in order
  std::string text;
  std::vector<std::unique_ptr<Element>> children;

  std::string Attribute(const std::string& key) const {
    const auto found = attributes.find(key);
    return found == attributes.end() ? std::string() : found->second;
  }
};

class Reader {
 public:
  // The root element, or null with `error` set.
  std::unique_ptr<Element> Parse(const std::string& document) {
    text_ = document;
    at_ = 0;
    error_.clear();
    if (text_.compare(0, 5, "<?xml") == 0) {
      const size_t end = text_.find("?>");
      if (end == std::string::npos) return Fail("unterminated declaration");
      at_ = end + 2;
    }
    if (!SkipMisc()) return nullptr;
    auto root = ParseElement({{"xml", "http://www.w3.org/XML/1998/namespace"}});
    if (root && SkipMisc() && at_ != text_.size()) return Fail("content after the root element");
    return error_.empty() ? std::move(root) : nullptr;
  }
  const std::string& error() const { return error_; }

 private:
  using Scope = std::map<std::string, std::string>;  // prefix ("" default) -> URI

  // Keeps the first error; false, for the checks that answer with a flag.
  bool Refuse(const std::string& why) {
    if (error_.empty()) error_ = why + " at byte " + std::to_string(at_);
    return false;
  }
  std::nullptr_t Fail(const std::string& why) {
    Refuse(why);
    return nullptr;
  }
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
           c == ':';
  }
  void SkipSpace() {
    while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
  }
  // Space and comments between elements.
  bool SkipMisc() {
    for (;;) {
      SkipSpace();
      if (text_.compare(at_, 4, "<!--") != 0) return true;
      if (!SkipComment()) return false;
    }
  }
  bool SkipComment() {
    const size_t end = text_.find("-->", at_ + 4);
    if (end == std::string::npos) return Refuse("unterminated comment");
    if (text_.find("--", at_ + 4) < end) return Refuse("'--' inside a comment");
    at_ = end + 3;
    return true;
  }
  std::string Name() {
    const size_t start = at_;
    while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }
  // Character data with its five predefined entities and character references.
  bool Decode(const std::string& raw, std::string& out) {
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '<') return Refuse("'<' in text or a value");
      if (raw[i] != '&') {
        out += raw[i];
        continue;
      }
      const size_t end = raw.find(';', i);
      if (end == std::string::npos) return Refuse("unterminated reference");
      static const std::map<std::string, char> kEntities = {
          {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
      const std::string name = raw.substr(i + 1, end - i - 1);
      if (kEntities.count(name) != 0) {
        out += kEntities.at(name);
      } else if (name.size() > 1 && name[0] == '#') {
        out += '?';  // a character reference; manifests need none
      } else {
        return Refuse("unknown entity &" + name + ";");
      }
      i = end;
    }
    return true;
  }
  bool Resolve(const Scope& scope, const std::string& qualified, std::string& local,
               std::string& uri, bool isAttribute) {
    const size_t colon = qualified.find(':');
    const std::string prefix = colon == std::string::npos ? "" : qualified.substr(0, colon);
    local = colon == std::string::npos ? qualified : qualified.substr(colon + 1);
    if (local.empty() || local.find(':') != std::string::npos) {
      return Refuse("bad name '" + qualified + "'");
    }
    if (prefix.empty() && isAttribute) return true;  // unprefixed attributes have no namespace
    const auto found = scope.find(prefix);
    if (found == scope.end()) {
      if (prefix.empty()) return true;
      return Refuse("unbound prefix '" + prefix + "'");
    }
    uri = found->second;
    return true;
  }

  std::unique_ptr<Element> ParseElement(Scope scope) {
    if (text_.compare(at_, 1, "<") != 0) return Fail("expected an element");
    ++at_;
    const std::string qualified = Name();
    std::vector<std::pair<std::string, std::string>> raw;  // attributes as written
    for (;;) {
      const size_t before = at_;
      SkipSpace();
      if (at_ >= text_.size()) return Fail("unterminated start tag");
      if (text_[at_] == '>' || text_.compare(at_, 2, "/>") == 0) break;
      if (at_ == before) return Fail("attributes need space between them");
      const std::string name = Name();
      SkipSpace();
      if (name.empty() || text_.compare(at_, 1, "=") != 0) return Fail("expected name=value");
      ++at_;
      SkipSpace();
      const char quote = at_ < text_.size() ? text_[at_] : '\0';
      if (quote != '"' && quote != '\'') return Fail("unquoted value");
      const size_t end = text_.find(quote, at_ + 1);
      if (end == std::string::npos) return Fail("unterminated value");
      std::string value;
      if (!Decode(text_.substr(at_ + 1, end - at_ - 1), value)) return nullptr;
      at_ = end + 1;
      for (const auto& seen : raw) {
        if (seen.first == name) return Fail("attribute '" + name + "' given twice");
      }
      raw.emplace_back(name, value);
    }
    auto element = std::make_unique<Element>();
    for (const auto& [name, value] : raw) {
      if (name == "xmlns" || name.compare(0, 6, "xmlns:") == 0) {
        scope[name == "xmlns" ? "" : name.substr(6)] = value;
        element->declared.push_back(value);
      }
    }
    for (const auto& [name, value] : raw) {
      if (name == "xmlns" || name.compare(0, 6, "xmlns:") == 0) continue;
      std::string local, uri;
      if (!Resolve(scope, name, local, uri, true)) return nullptr;
      element->attributes[uri.empty() ? local : uri + "^" + local] = value;
    }
    if (!Resolve(scope, qualified, element->name, element->space, false)) return nullptr;
    if (text_.compare(at_, 2, "/>") == 0) {
      at_ += 2;
      return element;
    }
    ++at_;  // '>'
    for (;;) {
      const size_t open = text_.find('<', at_);
      if (open == std::string::npos) return Fail("<" + qualified + "> is never closed");
      if (!Decode(text_.substr(at_, open - at_), element->text)) return nullptr;
      at_ = open;
      if (text_.compare(at_, 4, "<!--") == 0) {
        if (!SkipComment()) return nullptr;
      } else if (text_.compare(at_, 2, "</") == 0) {
        at_ += 2;
        if (Name() != qualified) return Fail("</...> does not close <" + qualified + ">");
        SkipSpace();
        if (text_.compare(at_, 1, ">") != 0) return Fail("unterminated end tag");
        ++at_;
        return element;
      } else if (text_.compare(at_, 2, "<!") == 0 || text_.compare(at_, 2, "<?") == 0) {
        return Fail("markup a manifest does not need");
      } else {
        auto child = ParseElement(scope);
        if (!child) return nullptr;
        element->children.push_back(std::move(child));
      }
    }
  }

  std::string text_;
  size_t at_ = 0;
  std::string error_;
};

}  // namespace strict_xml
