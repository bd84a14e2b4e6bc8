#pragma once
// A small JSON value for velmoractl's output, kept in insertion order, and
// its plain-text form for people.

#include <string>
#include <utility>
#include <vector>

namespace velmora::cli {

class Json {
public:
    enum class Kind { Null, Bool, Number, Text, Array, Object };

    static Json Text(std::string text);
    static Json Number(long number);
    static Json Bool(bool value);
    static Json Array() { return Json(Kind::Array); }
    static Json Object() { return Json(Kind::Object); }
    Json() = default;

    Json& Add(std::string key, Json value);  // objects
    Json& Push(Json value);  // arrays

    Kind GetKind() const { return kind_; }
    // One line of JSON.
    std::string Dump() const;
    // "key: value" lines; nested objects indented under their key, the
    // members of an array's objects on one line each; an empty text as "-".
    std::string Lines(int indent = 0) const;

private:
    explicit Json(Kind kind) : kind_(kind) {}
    std::string Scalar() const;

    Kind kind_ = Kind::Null;
    std::string text_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};

}  // namespace velmora::cli
