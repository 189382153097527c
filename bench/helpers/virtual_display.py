"""A virtual X display (Xvfb) for the benchmark scripts, on a display number the server picks."""
import os
import subprocess


def start_display(width, height):
    """Starts Xvfb with one screen of width x height; returns the server process and its DISPLAY."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = os.read(read_end, 32).decode().strip()
    os.close(read_end)
    return server, ":" + number
