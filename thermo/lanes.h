// L independent computations carried side by side ("lanes"), so that the
// processor overlaps their chains of dependent operations instead of waiting
// for one division after the other. A solver written over Lanes<L> reads like
// its scalar version: the same formulas, with select() where the scalar code
// branches and a LaneMask for the lanes that are still working.
//
// Exactness: every arithmetic operation acts on each lane exactly as the same
// operation on one double. Lanes<1> is one double and its mask one bool;
// wider lanes are pairs of doubles in one register (SSE2 on x86-64, NEON on
// ARM), whose +, -, *, / are IEEE operations rounded lane by lane like the
// scalar ones; nothing is contracted (-ffp-contract=off) or reassociated.
// fabs() and select() only move bits.
//
// A lane that a mask leaves out still goes through the arithmetic of the
// wider lanes, on its frozen values, and select() throws the results away.
// Such work can raise floating-point flags that the lane's scalar version
// would not, even where the code steers it to harmless operands (a compiler
// may fold divide_where() into a plain division of every lane): a caller
// that cares about the flags checks them around a wide computation and
// repeats it one lane at a time when one was raised (see compute_searches
// and run_sweep). With one lane a select is a branch, and a loop over one
// lane leaves before it would compute what a scalar loop does not.
//
// ZUNA_LANES_GENERIC builds the pairs from GCC's generic vectors on x86-64
// too, as on other processors, so that form can be tested here.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__) && !defined(ZUNA_LANES_GENERIC)
#include <emmintrin.h>
#define ZUNA_LANES_SSE2 1
#endif

namespace zuna {

// The operations on one chunk of lanes: a double with a bool for its flag,
// or a pair of doubles with a pair of flags, each half all zeros or all ones.
namespace chunk {

inline bool less(double a, double b) { return a < b; }
inline bool equal(double a, double b) { return a == b; }
inline bool not_equal(double a, double b) { return a != b; }
inline bool both(bool a, bool b) { return a && b; }
inline bool either(bool a, bool b) { return a || b; }
inline bool negation(bool a) { return !a; }
inline double select(bool m, double a, double b) { return m ? a : b; }
inline double fabs(double a) { return std::fabs(a); }
inline int bits(bool m) { return m ? 1 : 0; }
// a / b where m is set and 0 elsewhere, where a pair divides by 1 instead
// of b and a single lane does not divide.
inline double divide_where(bool m, double a, double b) { return m ? a / b : 0.0; }

#if defined(ZUNA_LANES_SSE2)
// On x86-64 the flags stay in the floating-point registers and are combined
// by the and/or instructions of doubles: a transfer to the integer unit and
// back would add to the chain of every Newton step.
using Pair = __m128d;
using PairFlags = __m128d;

inline PairFlags less(Pair a, Pair b) { return _mm_cmplt_pd(a, b); }
inline PairFlags equal(Pair a, Pair b) { return _mm_cmpeq_pd(a, b); }
inline PairFlags not_equal(Pair a, Pair b) { return _mm_cmpneq_pd(a, b); }
inline PairFlags both(PairFlags a, PairFlags b) { return _mm_and_pd(a, b); }
inline PairFlags either(PairFlags a, PairFlags b) { return _mm_or_pd(a, b); }
inline PairFlags negation(PairFlags a) {
  return _mm_xor_pd(a, _mm_castsi128_pd(_mm_set1_epi64x(-1)));
}
inline Pair select(PairFlags m, Pair a, Pair b) {
  return _mm_or_pd(_mm_and_pd(m, a), _mm_andnot_pd(m, b));
}
// Clears the sign bits, as fabs does.
inline Pair fabs(Pair a) { return _mm_and_pd(a, _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX))); }
inline Pair divide_where(PairFlags m, Pair a, Pair b) {
  return select(m, a / select(m, b, Pair{1.0, 1.0}), Pair{});
}
// Bit l set when lane l's flag is.
inline int bits(PairFlags m) { return _mm_movemask_pd(m); }
#else
// Elsewhere GCC's generic vectors; a comparison gives 0 or -1 per half.
typedef double Pair __attribute__((vector_size(16)));
typedef std::int64_t PairFlags __attribute__((vector_size(16)));

inline PairFlags less(Pair a, Pair b) { return a < b; }
inline PairFlags equal(Pair a, Pair b) { return a == b; }
inline PairFlags not_equal(Pair a, Pair b) { return a != b; }
inline PairFlags both(PairFlags a, PairFlags b) { return a & b; }
inline PairFlags either(PairFlags a, PairFlags b) { return a | b; }
inline PairFlags negation(PairFlags a) { return ~a; }
inline Pair select(PairFlags m, Pair a, Pair b) {
  return reinterpret_cast<Pair>((reinterpret_cast<PairFlags>(a) & m) |
                                (reinterpret_cast<PairFlags>(b) & ~m));
}
inline Pair fabs(Pair a) {
  return reinterpret_cast<Pair>(reinterpret_cast<PairFlags>(a) & PairFlags{INT64_MAX, INT64_MAX});
}
inline Pair divide_where(PairFlags m, Pair a, Pair b) {
  return select(m, a / select(m, b, Pair{1.0, 1.0}), Pair{});
}
inline int bits(PairFlags m) { return (m[0] != 0 ? 1 : 0) | (m[1] != 0 ? 2 : 0); }
#endif

// The chunks of L lanes: one double, or L/2 pairs.
template <int L>
struct Layout {
  static_assert(L >= 2 && L % 2 == 0, "lanes come one at a time or in pairs");
  using Value = Pair;
  using Flags = PairFlags;
  static constexpr int kChunks = L / 2;
};

template <>
struct Layout<1> {
  using Value = double;
  using Flags = bool;
  static constexpr int kChunks = 1;
};

}  // namespace chunk

// Which lanes take part: one flag per lane.
template <int L>
struct LaneMask {
  using Flags = typename chunk::Layout<L>::Flags;
  static constexpr int kChunks = chunk::Layout<L>::kChunks;
  Flags c[kChunks] = {};

  static LaneMask all() { return !LaneMask{}; }

  bool operator[](int l) const { return ((chunk::bits(c[l / 2]) >> (l % 2)) & 1) != 0; }

  friend LaneMask operator&(const LaneMask& a, const LaneMask& b) {
    LaneMask m;
    for (int i = 0; i < kChunks; ++i) {
      m.c[i] = chunk::both(a.c[i], b.c[i]);
    }
    return m;
  }

  friend LaneMask operator|(const LaneMask& a, const LaneMask& b) {
    LaneMask m;
    for (int i = 0; i < kChunks; ++i) {
      m.c[i] = chunk::either(a.c[i], b.c[i]);
    }
    return m;
  }

  friend LaneMask operator!(const LaneMask& a) {
    LaneMask m;
    for (int i = 0; i < kChunks; ++i) {
      m.c[i] = chunk::negation(a.c[i]);
    }
    return m;
  }

  // True when at least one lane takes part.
  friend bool any(const LaneMask& a) {
    Flags all = a.c[0];
    for (int i = 1; i < kChunks; ++i) {
      all = chunk::either(all, a.c[i]);
    }
    return chunk::bits(all) != 0;
  }
};

// One double per lane. A double converts to Lanes by taking the same value in
// every lane, so that lane formulas mix both as the scalar ones do.
template <int L>
struct Lanes {
  using Value = typename chunk::Layout<L>::Value;
  static constexpr int kChunks = chunk::Layout<L>::kChunks;
  Value c[kChunks] = {};

  Lanes() = default;
  Lanes(double v) {  // NOLINT: implicit on purpose, see above
    for (int i = 0; i < kChunks; ++i) {
      if constexpr (L == 1) {
        c[i] = v;
      } else {
        c[i] = Value{v, v};
      }
    }
  }

  double operator[](int l) const {
    if constexpr (L == 1) {
      return c[0];
    } else {
      return c[l / 2][l % 2];
    }
  }

  void set(int l, double v) {
    if constexpr (L == 1) {
      c[0] = v;
    } else {
      c[l / 2][l % 2] = v;
    }
  }

  friend Lanes operator+(const Lanes& a, const Lanes& b) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = a.c[i] + b.c[i];
    }
    return r;
  }

  friend Lanes operator-(const Lanes& a, const Lanes& b) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = a.c[i] - b.c[i];
    }
    return r;
  }

  friend Lanes operator*(const Lanes& a, const Lanes& b) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = a.c[i] * b.c[i];
    }
    return r;
  }

  friend Lanes operator/(const Lanes& a, const Lanes& b) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = a.c[i] / b.c[i];
    }
    return r;
  }

  friend Lanes operator-(const Lanes& a) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = -a.c[i];
    }
    return r;
  }

  friend Lanes fabs(const Lanes& a) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = chunk::fabs(a.c[i]);
    }
    return r;
  }

  friend LaneMask<L> operator<(const Lanes& a, const Lanes& b) {
    LaneMask<L> m;
    for (int i = 0; i < kChunks; ++i) {
      m.c[i] = chunk::less(a.c[i], b.c[i]);
    }
    return m;
  }

  friend LaneMask<L> operator>(const Lanes& a, const Lanes& b) { return b < a; }

  // Equal is false and not equal true where either side is not a number, as
  // for doubles.
  friend LaneMask<L> operator==(const Lanes& a, const Lanes& b) {
    LaneMask<L> m;
    for (int i = 0; i < kChunks; ++i) {
      m.c[i] = chunk::equal(a.c[i], b.c[i]);
    }
    return m;
  }

  friend LaneMask<L> operator!=(const Lanes& a, const Lanes& b) {
    LaneMask<L> m;
    for (int i = 0; i < kChunks; ++i) {
      m.c[i] = chunk::not_equal(a.c[i], b.c[i]);
    }
    return m;
  }

  // a on the lanes of m, b on the others.
  friend Lanes select(const LaneMask<L>& m, const Lanes& a, const Lanes& b) {
    Lanes r;
    for (int i = 0; i < kChunks; ++i) {
      r.c[i] = chunk::select(m.c[i], a.c[i], b.c[i]);
    }
    return r;
  }
};

}  // namespace zuna
