// Placeholder: filled in as this concern lands.
#include "app/ckw_app.h"
