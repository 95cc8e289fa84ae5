#include "core/text_pool.h"

#include "core/siphash.h"

namespace trelvanic_core {

uint64_t TextPool::hash(std::string_view text) {
  SipHasher13 h;
  h.write(text);
  h.write_u8(0xFF);
  return h.finish();
}

}  // namespace trelvanic_core
