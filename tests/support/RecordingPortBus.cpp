#include "RecordingPortBus.h"
