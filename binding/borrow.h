// Borrow flags of native objects.
//
// A method that changes its object holds an exclusive borrow for its whole
// run (also while the interpreter lock is released); a read holds a shared
// borrow. A re-entrant use of the object during such a call, from Python
// code the call runs (a callback, a warnings filter), is refused:
// another exclusive borrow fails with RuntimeError "Already borrowed", a
// shared borrow during an exclusive one with "Already mutably borrowed".
//
// The flag is touched only on the object's own thread (the thread check
// comes first), so it needs no atomics.
#pragma once

#include <utility>

#include "binding/error.h"

namespace trelvanic_binding {

inline constexpr const char* kAlreadyBorrowed = "Already borrowed";
inline constexpr const char* kAlreadyMutablyBorrowed = "Already mutably borrowed";

class BorrowFlag {
 public:
  bool exclusive() const { return state_ < 0; }
  bool free() const { return state_ == 0; }

 private:
  friend class BorrowGuard;
  // 0: free; n > 0: n shared borrows; -1: one exclusive borrow.
  long state_ = 0;
};

// Holds one borrow and gives it back when destroyed.
class BorrowGuard {
 public:
  [[nodiscard]] static Result<BorrowGuard> shared(BorrowFlag& flag) {
    if (flag.state_ < 0) return std::unexpected(Error::runtime(kAlreadyMutablyBorrowed));
    ++flag.state_;
    return BorrowGuard(&flag, false);
  }
  [[nodiscard]] static Result<BorrowGuard> exclusive(BorrowFlag& flag) {
    if (flag.state_ != 0) return std::unexpected(Error::runtime(kAlreadyBorrowed));
    flag.state_ = -1;
    return BorrowGuard(&flag, true);
  }

  BorrowGuard(BorrowGuard&& other) noexcept
      : flag_(std::exchange(other.flag_, nullptr)), exclusive_(other.exclusive_) {}
  BorrowGuard& operator=(BorrowGuard&&) = delete;
  BorrowGuard(const BorrowGuard&) = delete;
  ~BorrowGuard() {
    if (!flag_) return;
    if (exclusive_) {
      flag_->state_ = 0;
    } else {
      --flag_->state_;
    }
  }

 private:
  BorrowGuard(BorrowFlag* flag, bool exclusive) : flag_(flag), exclusive_(exclusive) {}
  BorrowFlag* flag_;
  bool exclusive_;
};

}  // namespace trelvanic_binding
