#pragma once

#define kMockPage1 201
#define kMockPage2 202
#define kMockWelcome 1007
#define kMockAgree 1001
#define kMockFolder 1000
#define kMockSecond 1008
