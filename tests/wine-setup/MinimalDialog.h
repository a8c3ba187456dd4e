#pragma once
#define kMinimalDialog 100
