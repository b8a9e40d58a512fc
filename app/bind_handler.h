#pragma once
// Binds a window's handler method to a notify event.
#include "toolkit/window.h"

namespace skyloom {

template <typename Form>
TNotifyEvent Bind(Form* form, void (Form::*handler)(void*)) {
  return [form, handler](void* sender) { (form->*handler)(sender); };
}

}  // namespace skyloom
