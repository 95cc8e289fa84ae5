#include "materializer/error.h"

namespace trelvanic_materializer {

Error cancelled_error() { return Error{ErrorKind::kCancelled, "cancelled"}; }

}  // namespace trelvanic_materializer
