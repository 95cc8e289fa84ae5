#include "rdf/detail/xml_literal.h"

namespace trelvanic_rdf::detail {

namespace {

std::string_view sv(const xmlChar* s) {
  return s == nullptr ? std::string_view{} : std::string_view(reinterpret_cast<const char*>(s));
}

}  // namespace

void XmlLiteralWriter::clear() {
  out_.clear();
  open_.clear();
  declared_.clear();
  marks_.clear();
}

void XmlLiteralWriter::declare(std::string_view prefix, std::string_view uri) {
  for (auto it = declared_.rbegin(); it != declared_.rend(); ++it) {
    if (it->first == prefix) {
      if (it->second == uri) return;
      break;
    }
  }
  if (prefix.empty() && uri.empty() && declared_.empty()) return;  // no default namespace yet
  declared_.emplace_back(prefix, uri);
  out_.append(prefix.empty() ? " xmlns" : " xmlns:");
  out_.append(prefix);
  out_.append("=\"");
  append_escaped(uri, true);
  out_.push_back('"');
}

void XmlLiteralWriter::start_element(const xmlChar* local, const xmlChar* prefix, const xmlChar* uri,
                                     int nb_namespaces, const xmlChar** namespaces, int nb_attributes,
                                     const xmlChar** attributes) {
  std::string qname;
  if (prefix != nullptr) {
    qname.assign(sv(prefix));
    qname.push_back(':');
  }
  qname.append(sv(local));
  out_.push_back('<');
  out_.append(qname);
  marks_.push_back(declared_.size());
  for (int i = 0; i < nb_namespaces; ++i) declare(sv(namespaces[2 * i]), sv(namespaces[2 * i + 1]));
  declare(sv(prefix), sv(uri));
  for (int i = 0; i < nb_attributes; ++i) {
    const xmlChar** at = attributes + 5 * i;
    if (at[1] != nullptr && sv(at[1]) != "xml") declare(sv(at[1]), sv(at[2]));
  }
  for (int i = 0; i < nb_attributes; ++i) {
    const xmlChar** at = attributes + 5 * i;
    out_.push_back(' ');
    if (at[1] != nullptr) {
      out_.append(sv(at[1]));
      out_.push_back(':');
    }
    out_.append(sv(at[0]));
    out_.append("=\"");
    append_escaped(std::string_view(reinterpret_cast<const char*>(at[3]), static_cast<std::size_t>(at[4] - at[3])),
                   true);
    out_.push_back('"');
  }
  out_.push_back('>');
  open_.push_back(std::move(qname));
}

void XmlLiteralWriter::end_element() {
  if (open_.empty()) return;
  out_.append("</");
  out_.append(open_.back());
  out_.push_back('>');
  open_.pop_back();
  declared_.resize(marks_.back());
  marks_.pop_back();
}

void XmlLiteralWriter::append_text(std::string_view text) { append_escaped(text, false); }

void XmlLiteralWriter::append_escaped(std::string_view text, bool attribute) {
  for (const char c : text) {
    switch (c) {
      case '&': out_.append("&amp;"); break;
      case '<': out_.append("&lt;"); break;
      case '>':
        if (attribute) {
          out_.push_back(c);
        } else {
          out_.append("&gt;");
        }
        break;
      case '"':
        if (attribute) {
          out_.append("&quot;");
        } else {
          out_.push_back(c);
        }
        break;
      case '\r': out_.append("&#xD;"); break;
      case '\t':
        if (attribute) {
          out_.append("&#x9;");
        } else {
          out_.push_back(c);
        }
        break;
      case '\n':
        if (attribute) {
          out_.append("&#xA;");
        } else {
          out_.push_back(c);
        }
        break;
      default: out_.push_back(c);
    }
  }
}

}  // namespace trelvanic_rdf::detail
