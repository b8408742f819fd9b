/* Prints the temperatures Ostrel publishes in "brovan_hardware_mapfile".
 * Windows (Ostrel.exe): build with any Windows C compiler, e.g.
 *   x86_64-w64-mingw32-gcc -o read_hardware_block.exe read_hardware_block.c
 * Linux (ostreld): cc -o read_hardware_block read_hardware_block.c
 * Exit code 0 after printing, 1 when the block is not there (Ostrel is not
 * running, or runs in another session; ostreld is not running). */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#define BLOCK_NAME "brovan_hardware_mapfile"
#define BLOCK_SIZE 632

#define CPU_OFFSET 152
#define GPU_DEDICATED_OFFSET 296
#define GPU_INTEGRATED_OFFSET 444
#define MAINBOARD_OFFSET 584

/* One aligned 32-bit load per field: Ostrel writes each field with one
 * aligned 32-bit store, so a reader sees the old or the new value, never a
 * mix of both. */
static float read_field(const volatile uint32_t* block, size_t offset) {
  uint32_t bits = block[offset / sizeof(uint32_t)];
  float value;
  memcpy(&value, &bits, sizeof value);
  return value;
}

static void print_block(const volatile uint32_t* block) {
  printf("CPU %.1f\n", read_field(block, CPU_OFFSET));
  printf("GPU (dedicated) %.1f\n", read_field(block, GPU_DEDICATED_OFFSET));
  printf("GPU (integrated) %.1f\n", read_field(block, GPU_INTEGRATED_OFFSET));
  printf("Mainboard %.1f\n", read_field(block, MAINBOARD_OFFSET));
}

#ifdef _WIN32
int main(void) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, BLOCK_NAME);
  if (mapping == NULL) {
    fprintf(stderr, "no %s (error %lu): is Ostrel running?\n", BLOCK_NAME, GetLastError());
    return 1;
  }
  const volatile uint32_t* block = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, BLOCK_SIZE);
  if (block == NULL) {
    fprintf(stderr, "cannot map %s (error %lu)\n", BLOCK_NAME, GetLastError());
    CloseHandle(mapping);
    return 1;
  }
  print_block(block);
  UnmapViewOfFile((const void*)block);
  CloseHandle(mapping);
  return 0;
}
#else
/* POSIX shared memory: /dev/shm/brovan_hardware_mapfile, readable by every
 * local user. Link with -lrt on C libraries older than glibc 2.34. */
int main(void) {
  int fd = shm_open("/" BLOCK_NAME, O_RDONLY, 0);
  if (fd < 0) {
    fprintf(stderr, "no /dev/shm/%s (%s): is ostreld running?\n", BLOCK_NAME, strerror(errno));
    return 1;
  }
  void* view = mmap(NULL, BLOCK_SIZE, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  if (view == MAP_FAILED) {
    fprintf(stderr, "cannot map /dev/shm/%s (%s)\n", BLOCK_NAME, strerror(errno));
    return 1;
  }
  print_block((const volatile uint32_t*)view);
  munmap(view, BLOCK_SIZE);
  return 0;
}
#endif
