#include "json.h"

#include <cstdio>

namespace velmora::cli {

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

}  // namespace

Json Json::Text(std::string text)
{
    Json json(Kind::Text);
    json.text_ = std::move(text);
    return json;
}

Json Json::Number(long number)
{
    Json json(Kind::Number);
    json.text_ = std::to_string(number);
    return json;
}

Json Json::Bool(bool value)
{
    Json json(Kind::Bool);
    json.text_ = value ? "true" : "false";
    return json;
}

Json& Json::Add(std::string key, Json value)
{
    members_.emplace_back(std::move(key), std::move(value));
    return *this;
}

Json& Json::Push(Json value)
{
    items_.push_back(std::move(value));
    return *this;
}

std::string Json::Scalar() const
{
    switch (kind_) {
    case Kind::Null:
        return "null";
    case Kind::Text:
        return text_.empty() ? "-" : text_;
    default:
        return text_ == "true" ? "on" : text_ == "false" ? "off" : text_;
    }
}

std::string Json::Dump() const
{
    std::string out;
    switch (kind_) {
    case Kind::Null:
        return "null";
    case Kind::Text:
        return Quoted(text_);
    case Kind::Bool:
    case Kind::Number:
        return text_;
    case Kind::Array:
        for (const Json& item : items_) {
            out += (out.empty() ? "" : ",") + item.Dump();
        }
        return "[" + out + "]";
    case Kind::Object:
        for (const auto& [key, value] : members_) {
            out += (out.empty() ? "" : ",") + Quoted(key) + ":" + value.Dump();
        }
        return "{" + out + "}";
    }
    return out;
}

std::string Json::Lines(int indent) const
{
    const std::string pad(static_cast<std::size_t>(indent), ' ');
    std::string out;
    if (kind_ == Kind::Array) {
        for (const Json& item : items_) {
            std::string line;
            for (const auto& member : item.members_) {
                line += (line.empty() ? "" : "  ") + member.second.Scalar();
            }
            out += pad + (item.kind_ == Kind::Object ? line : item.Scalar()) + "\n";
        }
        return out;
    }
    for (const auto& [key, value] : members_) {
        if (value.kind_ == Kind::Object || value.kind_ == Kind::Array) {
            out += pad + key + ":\n" + value.Lines(indent + 2);
        } else {
            out += pad + key + ": " + value.Scalar() + "\n";
        }
    }
    return out;
}

}  // namespace velmora::cli
