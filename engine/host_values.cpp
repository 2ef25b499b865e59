#include "engine/host_values.h"

HostValues& TheHostValues() {
  static HostValues values;
  return values;
}
