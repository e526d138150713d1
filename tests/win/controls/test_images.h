// Resource ids of the PNG fixtures in test_images.rc.
#pragma once

#define TEST_PNG_ALPHA                                                                                       \
    133 // 4 x 3, alpha; (0,0) transparent white, (1,0) (200,100,50) at alpha 128, rest blue
#define TEST_PNG_PLAIN 141   // 6 x 5, no alpha, (90,60,30)
#define TEST_PNG_PICTURE 135 // 112 x 22, no alpha; (0,0) red, (111,21) green, rest (10,120,200)
#define TEST_PNG_NORMAL 136  // 22 x 19, (200,30,30)
#define TEST_PNG_PRESSED 137 // 22 x 19, (30,200,30)
#define TEST_PNG_HOVER 138   // 22 x 19, (30,30,200)
#define TEST_PNG_UNDECODABLE 150
#define TEST_PNG_MISSING 151
