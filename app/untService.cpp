#include "untService.h"

TDMService* DMService = nullptr;
