#!/usr/bin/python3
"""kinroll-web at region scale in headless Chromium: the seconds from pressing
"Make the lists" with the printouts of FOLDER chosen to the results page
shown, then the seconds until a view of the largest CSV file (wardmem.csv)
and of the largest list (wardpriv.txt) is shown; each RUNS times (3).

usage: bench/web_browser.py KINROLL_WEB FOLDER
Exit status 77 without Selenium, Chromium or its driver. Loopback only."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.common.exceptions import WebDriverException
except ImportError:
    sys.exit(77)

CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
if CHROMIUM is None or not os.access(DRIVER, os.X_OK):
    sys.exit(77)

WEB, FOLDER = sys.argv[1:3]
RUNS = int(os.environ.get("WEB_RUNS_BROWSER", "3"))
PRINTOUTS = ["mis231.txt", "mis232.txt", "mis239.txt", "mis1313.txt", "mis1413.txt", "mis121.txt",
             "smis.txt"]


def wait_for(test, seconds=120):
    """Waits until test() is true; a page that changes under it counts as not yet."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if test():
                return
        except WebDriverException:
            pass
        time.sleep(0.02)
    raise AssertionError("timed out")


def main():
    tmp = tempfile.mkdtemp()
    env = dict(os.environ, TMPDIR=tmp, XDG_STATE_HOME=os.path.join(tmp, "state"),
               XDG_CONFIG_HOME=os.path.join(tmp, "config"))
    server = subprocess.Popen([WEB, "--port", "0", "--time-limit", "300"], env=env, text=True,
                              stdout=subprocess.PIPE)
    server.stdout.readline()
    address = server.stdout.readline().strip()
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--window-size=1280,900", "--no-proxy-server"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.set_page_load_timeout(300)
    try:
        for run in range(1, RUNS + 1):
            driver.get(address)
            driver.find_element(By.NAME, "printouts").send_keys(
                "\n".join(os.path.join(FOLDER, n) for n in PRINTOUTS))
            driver.find_element(By.NAME, "wardunits").send_keys(os.path.join(FOLDER, "wardunits.txt"))
            driver.find_element(By.NAME, "wardorgs").send_keys(os.path.join(FOLDER, "wardorgs.txt"))
            t0 = time.monotonic()
            driver.find_element(By.CSS_SELECTOR, "button[type=submit]").click()
            wait_for(lambda: driver.find_element(By.TAG_NAME, "h1").text.startswith("Results"))
            results = time.monotonic() - t0
            page = driver.current_url
            views = []
            for name in ("wardmem.csv", "wardpriv.txt"):
                driver.get(page)
                t0 = time.monotonic()
                driver.find_element(By.CSS_SELECTOR, "a[href$='/view/%s']" % name).click()
                wait_for(lambda: driver.find_element(By.TAG_NAME, "h1").text == name and
                         driver.execute_script("return document.readyState") == "complete")
                views.append("%s %.2f s" % (name, time.monotonic() - t0))
            print("run %d: post to results page %.2f s; view %s" % (run, results, ", ".join(views)))
    finally:
        driver.quit()
        server.terminate()
        server.wait(timeout=30)
        shutil.rmtree(tmp, ignore_errors=True)


main()
