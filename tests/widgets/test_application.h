#pragma once
// The one application object the toolkit's windows report errors to.
#include "toolkit/application.h"

namespace skyloom::testing {

inline TApplication& TestApplication() {
  static TApplication application;
  return application;
}

}  // namespace skyloom::testing
