// Errors as values: what the reactants' parser and the mixture refuse, and
// a result that holds either a value or the refusal.
//
// A refusal names its subject in the library's words ("fuel", "oxidant",
// "diluent", "by", "of", "fuel_pct", "phi", "r_eq", "enthalpy",
// "products"); each front end maps the subject to its own option or keyword
// (--fuel, fuel=), so that its one-line message names what the user wrote.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace zuna::reactants {

struct Refusal {
  std::string subject;  // the option or keyword, in the library's words
  std::string item;     // the item as written ("H2(L)@25:1"), empty for a whole option
  std::string reason;   // why, in a phrase without a final stop

  // "fuel H2(L)@25: ..." or "phi: ..."
  std::string message() const { return subject + (item.empty() ? "" : " " + item) + ": " + reason; }
};

template <class T>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Refusal refusal) : v_(std::move(refusal)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const { return std::get<0>(v_); }
  T& value() { return std::get<0>(v_); }
  const Refusal& refusal() const { return std::get<1>(v_); }

 private:
  std::variant<T, Refusal> v_;
};

}  // namespace zuna::reactants
