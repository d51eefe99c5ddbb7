#include "text/SharedValues.h"

namespace text {

SharedValues &shared()
{
    static SharedValues values;
    return values;
}

} // namespace text
