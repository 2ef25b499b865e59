#include "engine/final_status.h"

FinalStatus& TheFinalStatus() {
  static FinalStatus status;
  return status;
}
